#include "backup/BackupManager.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/Session.h"
#include "backup/BackupEngine.h"
#include "backup/BackupList.h"
#include "history/History.h"
#include "platform/FileSystem.h"
#include "platform/Prompts.h"
#include "progress/StatusWindow.h"

namespace vrx {

namespace {

// Whether the backup folder holds an ordinary file named "*" + suffix (suffix
// in lower case), as a Windows wildcard search matches it. An unset folder
// holds nothing; nullopt when the folder cannot be searched.
std::optional<bool> BackupFolderHolds(Session& session, std::string_view suffix) {
    if (session.settings.backuppath.empty()) return false;
    const std::optional<std::vector<std::string>> names = session.fs.listOrdinaryFiles(session.settings.backuppath);
    if (!names) return std::nullopt;
    for (const std::string& name : *names) {
        if (EndsWithIgnoringCase(name, suffix)) return true;
    }
    return false;
}

// The backup folder exists or was just created (one level).
bool BackupFolderReady(FileSystem& fs, const std::string& folder) {
    if (folder.empty()) return false;
    return fs.isFolder(folder) || fs.createFolder(folder);
}

struct ActionPlan {
    BackupRun run;
    const char* confirmation;    // asked with the title "IMPORTANT!"
    const char* onlyWhenSuffix;  // ask only when a file with this suffix exists; nullptr: always ask
    bool createsBackupFolder;
    const char* historyTail;
};

ActionPlan PlanFor(BackupAction action) {
    switch (action) {
        case BackupAction::ReinitializeMain:
            return {BackupRun::CreateMain, kConfirmMainBackup, ".bmp", true, " - Created Main Backup Files"};
        case BackupAction::CreateAlternate:
            return {BackupRun::CreateAlternate, kConfirmAlternateBackup, ".vrb", true,
                    " - Created Alternate Backup Files"};
        case BackupAction::RestoreAlternate:
            return {BackupRun::RestoreAlternate, kConfirmRestoreAlternate, nullptr, false,
                    " - Restored Alternate Texture Backup"};
        case BackupAction::RestoreOriginal:
        case BackupAction::Close:  // never planned: Close performs nothing
            break;
    }
    return {BackupRun::RestoreMain, kConfirmRestoreOriginal, nullptr, false, " - Restored Main Texture Backup"};
}

}  // namespace

BackupManagerState LoadBackupManager(Session& session) {
    BackupManagerState state;
    const std::optional<bool> alternate = BackupFolderHolds(session, ".vrb");
    if (!alternate) {
        session.prompts.message(kBackupPathInvalid);
        state.loadFailed = true;
        return state;
    }
    state.alternateAvailable = *alternate;
    return state;
}

bool PerformBackupAction(Session& session, BackupAction action, bool skipChecked) {
    // Close starts nothing, so a running action does not stop it recording the check box.
    if (action == BackupAction::Close) {
        session.skipExistingBackups = skipChecked;
        return true;
    }
    ActionGuard guard(session);
    if (!guard) return false;
    session.skipExistingBackups = skipChecked;

    const ActionPlan plan = PlanFor(action);
    // A folder that cannot be searched may hold backups, so it is asked about as if it did.
    const bool ask = plan.onlyWhenSuffix == nullptr || BackupFolderHolds(session, plan.onlyWhenSuffix).value_or(true);
    if (ask && !session.prompts.askYesNo(plan.confirmation, kImportantTitle)) return true;

    const std::string& backupFolder = session.settings.backuppath;
    if (plan.createsBackupFolder && !BackupFolderReady(session.fs, backupFolder)) {
        // Nothing could be stored, so the action ends before any copy.
        session.prompts.message(kBackupFailed);
        return true;
    }

    // Recorded only when done: a cancelled or failed action is no backup or restore to record.
    if (RunBackupFolderLoop(session, plan.run) == RunOutcome::Completed) {
        session.history.AddToHistory(session.history.MakeLine(kBackupKind, plan.historyTail));
    }
    return true;
}

}  // namespace vrx
