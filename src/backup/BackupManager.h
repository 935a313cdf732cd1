#pragma once
// The backup manager's actions as logic; Backup_Form is a thin window over it.

namespace vrx {

struct Session;

enum class BackupAction {
    ReinitializeMain = 0,
    CreateAlternate = 1,
    Close = 2,
    RestoreAlternate = 3,
    RestoreOriginal = 4,
};

struct BackupManagerState {
    bool loadFailed = false;          // the window shows the message and closes itself
    bool alternateAvailable = false;  // enables "Restore Alternate Backups"
};

inline constexpr const char* kImportantTitle = "IMPORTANT!";
inline constexpr const char* kBackupPathInvalid =
    "Your backup path is invalid. Please correct this in the Settings screen before proceeding.";

inline constexpr const char* kConfirmMainBackup =
    "You are about to backup original textures that are currently installed in Flight Simulator. You will lose "
    "current backups if the Skip option is unchecked. Are you sure you want to continue?";
inline constexpr const char* kConfirmAlternateBackup =
    "You are about to backup an alternate backup texture set that is currently installed in Flight Simulator. You "
    "will lose current backups if the Skip option is unchecked. Are you sure you want to continue?";
inline constexpr const char* kConfirmRestoreAlternate =
    "Are you sure you want to restore your alternate backup files? Your currently installed textures will be "
    "overwritten with the alternate backup textures.";
inline constexpr const char* kConfirmRestoreOriginal =
    "Are you sure you want to restore your original backup files? Your currently installed textures will be "
    "overwritten with the original backup textures.";

// The window's load: looks for "*.vrb" in the backup folder; shows the load
// failure message when the folder cannot be searched.
BackupManagerState LoadBackupManager(Session& session);

// A click on link n after the window has gone: sets SkipExistingBackups from
// the check box, confirms, runs the folder loop and, when every run
// completed, writes the history line.
// Returns false when refused because another long action is running; Close
// is never refused, as it starts no action.
bool PerformBackupAction(Session& session, BackupAction action, bool skipChecked);

}  // namespace vrx
