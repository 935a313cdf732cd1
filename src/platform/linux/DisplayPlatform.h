#pragma once
// Which of Qt's display platforms the program asks for. The program places
// its windows itself (the status window over the main window, secondary
// windows centred on theirs), which a Wayland compositor does not let a
// client do and an X server does. So on a Wayland desktop that also offers
// an X display (XWayland) the program runs as an X11 client, and natively
// on Wayland only where there is no X display. The user's own
// QT_QPA_PLATFORM always wins.

#include <optional>
#include <string>

namespace vrx {

// The environment the choice reads. An empty value counts as unset, as Qt
// counts an empty QT_QPA_PLATFORM.
struct DisplayEnvironment {
    std::string qtPlatform;      // QT_QPA_PLATFORM: the user's own choice
    std::string display;         // DISPLAY: an X server (XWayland on a Wayland desktop)
    std::string waylandDisplay;  // WAYLAND_DISPLAY: the Wayland compositor's socket
    std::string sessionType;     // XDG_SESSION_TYPE: "wayland", "x11", "tty"...
};

// The value to give QT_QPA_PLATFORM, or nothing where Qt's own choice is
// already right (the user chose, an X11-only desktop, a Wayland desktop
// without an X display, no display at all). With both an X display and
// Wayland it is "xcb;wayland": Qt tries X11 first and falls back to Wayland
// when the X server cannot be reached.
std::optional<std::string> ChooseDisplayPlatform(const DisplayEnvironment& environment);

// The variables above as this process has them now.
DisplayEnvironment CurrentDisplayEnvironment();

// Asks Qt for the chosen platform through this process's environment, for
// as long as the QApplication is being made: withdraw() afterwards, so that
// the programs this one starts (the browser's helper, the user's browser or
// PDF viewer) see the user's environment, not our choice.
class DisplayPlatformRequest {
public:
    // Sets QT_QPA_PLATFORM when the choice for the current environment is not Qt's own.
    DisplayPlatformRequest();
    DisplayPlatformRequest(const DisplayPlatformRequest&) = delete;
    DisplayPlatformRequest& operator=(const DisplayPlatformRequest&) = delete;

    // The platform list requested (withdrawn or not), or nothing.
    const std::optional<std::string>& requested() const { return requested_; }

    // Removes QT_QPA_PLATFORM again if this request set it.
    void withdraw();

private:
    std::optional<std::string> requested_;
    bool withdrawn_ = false;
};

}  // namespace vrx
