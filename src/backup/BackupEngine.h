#pragma once
// The backup engine: the four runs of ProcessBackupList over backup.lst,
// and the folder loop that walks BackupSourceFolders for one action.

#include <string>

namespace vrx {

struct Session;

enum class BackupRun {
    CreateMain,
    CreateAlternate,
    RestoreMain,
    RestoreAlternate,
};

inline constexpr const char* kAltSuffix = ".VRB";
inline constexpr const char* kBackupComplete = "Backup action complete!";
inline constexpr const char* kBackupFailed =
    "Error copying backup files (not all files were copied)! You may want to try the Read-Only fix in the "
    "Settings screen, or make sure the backup folder specified in the Settings screen exists.";

// How a run, or an action's folder loop, ended.
enum class RunOutcome {
    Completed,
    Cancelled,  // the user closed the status window; CancelRequested is set
    Failed,     // the failure message was shown
};

// One run for one folder, through the files and the status window.
RunOutcome ProcessBackupList(Session& session, const std::string& fromFolder, const std::string& toFolder,
                             const std::string& altSuffix, bool restoring);

// The folder loop: one run of the given kind per BackupSourceFolders slot,
// stopping at the first empty slot or after a cancel. Completed only when
// every run completed: a history line records only an action that was done.
RunOutcome RunBackupFolderLoop(Session& session, BackupRun run);

}  // namespace vrx
