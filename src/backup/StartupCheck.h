#pragma once
// The start-up settings and backup check: settings window on the first run
// or for invalid folders, then the first full and the incremental backups.

namespace vrx {

struct Session;

// The settings window, opened modally by the check.
class SettingsWindowHost {
public:
    virtual ~SettingsWindowHost() = default;
    // Opens the window and waits until it closes; false when the program must
    // end (the window was left with no settings file and said so).
    virtual bool OpenModal() = 0;
};

enum class StartupOutcome {
    Continue,
    EndProgram,
};

StartupOutcome CheckSettingsAndBackups(Session& session, SettingsWindowHost& settingsWindow);

}  // namespace vrx
