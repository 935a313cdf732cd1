#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/DisplayPlatform.h"

namespace vrx {
namespace {

struct Case {
    const char* desktop;
    DisplayEnvironment environment;  // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY, XDG_SESSION_TYPE
    std::optional<std::string> requested;
};

TEST(DisplayPlatform, XWaylandWhereThereIsAnXDisplayWaylandWhereThereIsNoneAndTheUsersChoiceAlways) {
    const std::vector<Case> cases = {
        // A Wayland desktop with XWayland: X11 first, Wayland if the X server cannot be reached.
        {"Wayland session with XWayland", {"", ":0", "wayland-0", "wayland"}, "xcb;wayland"},
        {"compositor started by hand", {"", ":1", "wayland-1", ""}, "xcb;wayland"},
        {"Wayland session on the default socket", {"", ":0", "", "wayland"}, "xcb;wayland"},
        {"nested compositor inside an X11 session", {"", ":0", "wayland-1", "x11"}, "xcb;wayland"},
        // No X display: Qt's own choice, which is Wayland.
        {"Wayland without XWayland", {"", "", "wayland-0", "wayland"}, std::nullopt},
        {"Wayland socket named, no session type", {"", "", "wayland-0", ""}, std::nullopt},
        {"Wayland session type only", {"", "", "", "wayland"}, std::nullopt},
        // X11 alone: Qt already runs on X11.
        {"X11 session", {"", ":0", "", "x11"}, std::nullopt},
        {"X display from ssh, text console", {"", "localhost:10.0", "", "tty"}, std::nullopt},
        {"nothing at all", {"", "", "", ""}, std::nullopt},
        // The user's own QT_QPA_PLATFORM is never overridden.
        {"user asks for Wayland on a desktop with XWayland", {"wayland", ":0", "wayland-0", "wayland"}, std::nullopt},
        {"user asks for X11", {"xcb", ":0", "wayland-0", "wayland"}, std::nullopt},
        {"user asks for a list", {"wayland;xcb", ":0", "wayland-0", "wayland"}, std::nullopt},
        {"user asks for offscreen", {"offscreen", "", "", ""}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktop);
        EXPECT_EQ(ChooseDisplayPlatform(c.environment), c.requested);
    }
}

// Sets the four variables for one test and puts back what was there.
class DisplayVariables {
public:
    explicit DisplayVariables(const DisplayEnvironment& environment) {
        for (const char* name : kNames) {
            const char* old = ::getenv(name);
            saved_.push_back(old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        }
        Set("QT_QPA_PLATFORM", environment.qtPlatform);
        Set("DISPLAY", environment.display);
        Set("WAYLAND_DISPLAY", environment.waylandDisplay);
        Set("XDG_SESSION_TYPE", environment.sessionType);
    }
    ~DisplayVariables() {
        for (std::size_t i = 0; i < saved_.size(); ++i) Set(kNames[i], saved_[i].value_or(""));
    }
    DisplayVariables(const DisplayVariables&) = delete;
    DisplayVariables& operator=(const DisplayVariables&) = delete;

    // The variable now, or nothing when it is unset.
    static std::optional<std::string> Get(const char* name) {
        const char* value = ::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Set(const char* name, const std::string& value) {
        if (value.empty()) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value.c_str(), 1);
        }
    }

private:
    static constexpr const char* kNames[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"};
    std::vector<std::optional<std::string>> saved_;
};

TEST(DisplayPlatformRequest, SetsTheChoiceForQtAndTakesItBackForTheProgramsStartedLater) {
    DisplayVariables desktop({"", ":0", "wayland-0", "wayland"});
    DisplayPlatformRequest request;
    EXPECT_EQ(request.requested(), "xcb;wayland");
    EXPECT_EQ(DisplayVariables::Get("QT_QPA_PLATFORM"), "xcb;wayland");
    request.withdraw();
    EXPECT_EQ(DisplayVariables::Get("QT_QPA_PLATFORM"), std::nullopt);
    EXPECT_EQ(request.requested(), "xcb;wayland");
    // Withdrawn twice, nothing more happens.
    DisplayVariables::Set("QT_QPA_PLATFORM", "xcb;wayland");
    request.withdraw();
    EXPECT_EQ(DisplayVariables::Get("QT_QPA_PLATFORM"), "xcb;wayland");
}

TEST(DisplayPlatformRequest, LeavesTheUsersValueAndQtsOwnChoiceAlone) {
    struct Environment {
        const char* desktop;
        DisplayEnvironment environment;
    };
    for (const Environment& e : std::vector<Environment>{
             {"user's Wayland on a desktop with XWayland", {"wayland", ":0", "wayland-0", "wayland"}},
             {"X11 session", {"", ":0", "", "x11"}},
             {"Wayland without XWayland", {"", "", "wayland-0", "wayland"}},
         }) {
        SCOPED_TRACE(e.desktop);
        DisplayVariables desktop(e.environment);
        const std::optional<std::string> before = DisplayVariables::Get("QT_QPA_PLATFORM");
        DisplayPlatformRequest request;
        EXPECT_EQ(request.requested(), std::nullopt);
        EXPECT_EQ(DisplayVariables::Get("QT_QPA_PLATFORM"), before);
        request.withdraw();
        EXPECT_EQ(DisplayVariables::Get("QT_QPA_PLATFORM"), before);
    }
}

TEST(DisplayPlatformRequest, WithdrawKeepsAValueSomeoneElseSetMeanwhile) {
    DisplayVariables desktop({"", ":0", "wayland-0", "wayland"});
    DisplayPlatformRequest request;
    DisplayVariables::Set("QT_QPA_PLATFORM", "wayland");
    request.withdraw();
    EXPECT_EQ(DisplayVariables::Get("QT_QPA_PLATFORM"), "wayland");
}

}  // namespace
}  // namespace vrx
