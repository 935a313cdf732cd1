#pragma once
// The settings window as the start-up check opens it. Until the window
// exists it says so and the program ends: without settings it cannot run.

#include "backup/StartupCheck.h"

namespace vrx {

class Prompts;

inline constexpr const char* kSettingsNotAvailable =
    "The settings window is not available yet. Please provide a valid settings.cfg beside the program.";

class QtSettingsWindowHost final : public SettingsWindowHost {
public:
    explicit QtSettingsWindowHost(Prompts& prompts) : prompts_(prompts) {}
    bool OpenModal() override;

private:
    Prompts& prompts_;
};

}  // namespace vrx
