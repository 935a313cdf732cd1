#include "platform/linux/DisplayPlatform.h"

#include <stdlib.h>

namespace vrx {

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = ::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::optional<std::string> ChooseDisplayPlatform(const DisplayEnvironment& environment) {
    if (!environment.qtPlatform.empty()) return std::nullopt;
    // Qt itself puts Wayland first whenever a compositor is named or the
    // session says it is one, even when an X display is there too.
    const bool wayland = !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
    const bool x11 = !environment.display.empty();
    if (wayland && x11) return "xcb;wayland";
    return std::nullopt;
}

DisplayEnvironment CurrentDisplayEnvironment() {
    return {EnvironmentValue("QT_QPA_PLATFORM"), EnvironmentValue("DISPLAY"), EnvironmentValue("WAYLAND_DISPLAY"),
            EnvironmentValue("XDG_SESSION_TYPE")};
}

DisplayPlatformRequest::DisplayPlatformRequest() : requested_(ChooseDisplayPlatform(CurrentDisplayEnvironment())) {
    if (requested_) ::setenv("QT_QPA_PLATFORM", requested_->c_str(), 1);
}

void DisplayPlatformRequest::withdraw() {
    if (!requested_ || withdrawn_) return;
    withdrawn_ = true;
    // A value that someone else set meanwhile is theirs, and stays.
    if (EnvironmentValue("QT_QPA_PLATFORM") == *requested_) ::unsetenv("QT_QPA_PLATFORM");
}

}  // namespace vrx
