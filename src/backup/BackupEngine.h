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

// One run for one folder; outcome through the files, the status window and CancelRequested.
void ProcessBackupList(Session& session, const std::string& fromFolder, const std::string& toFolder,
                       const std::string& altSuffix, bool restoring);

// The folder loop: one run of the given kind per BackupSourceFolders slot,
// stopping at the first empty slot or after a cancel.
void RunBackupFolderLoop(Session& session, BackupRun run);

}  // namespace vrx
