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

inline constexpr const char* kFirstRunMessage =
    "Since this is the first time you are running Verdantis, we will open the Settings screen for you to confirm "
    "your Verdantis settings.";
inline constexpr const char* kSimulatorPathInvalid =
    "The path to FSX in your settings configuration file is invalid. Please confirm your path to FSX in the next "
    "screen (we will try to automatically locate the correct FSX path for you).";
// The shipped text has no closing full stop.
inline constexpr const char* kBackupFolderInvalid =
    "The path to your backup folder is invalid. Please fix your backup folder path in the next screen";
inline constexpr const char* kFirstBackupQuestion =
    "Backup files are not detected. We will now backup your current Flight Simulator textures unless you select "
    "\"No\" below. If you select No, you will not be able to restore the current FSX textures. Are you ready to "
    "run the backup process now?";
inline constexpr const char* kNeverAskBackupQuestion =
    "Do you want to mark the configuration file so you will not be prompted to backup in the future?";
inline constexpr const char* kIncrementalBackupQuestion =
    "There are new files that have been added that have not been backed up yet. We will now run the backup "
    "process again (existing backup files will be skipped) unless you select \"No\" below. If you select No, you "
    "will not be able to restore the current FSX textures. Are you ready to run the backup process now?";
inline constexpr const char* kNeverAskRebackupQuestion =
    "Do you want to mark the configuration file so you will not be prompted to run the re-backup process in the "
    "future?";
inline constexpr const char* kInitialBackupTail = " - Created Initial Main Backup Files";
inline constexpr const char* kIncrementalBackupTail = " - Created Incremental Backup Files";

enum class StartupOutcome {
    Continue,
    EndProgram,
};

// Runs once at start: settings, then the first full and the incremental
// backup passes. EndProgram when the settings window says the program must end.
StartupOutcome CheckSettingsAndBackups(Session& session, SettingsWindowHost& settingsWindow);

}  // namespace vrx
