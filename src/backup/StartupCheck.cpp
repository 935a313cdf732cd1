#include "backup/StartupCheck.h"

#include <string>

#include "session/Session.h"
#include "backup/BackupEngine.h"
#include "config/AppSettings.h"
#include "history/History.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "progress/StatusWindow.h"

namespace vrx {

namespace {

void Save(Session& session) {
    SaveSettings(session.settings, session.sharedCfg, session.settingsFilePath);
}

// One create-main pass over every backup folder; the history line only when
// every run completed: a cancelled or failed pass made no backup to record.
void RunCreatePass(Session& session, const char* historyTail) {
    if (RunBackupFolderLoop(session, BackupRun::CreateMain) == RunOutcome::Completed) {
        session.history.AddToHistory(session.history.MakeLine(kBackupKind, historyTail));
    }
}

bool SimulatorFound(Session& session) {
    // An unset folder would send the test to FSX.EXE at the root of the file system.
    const std::string& folder = session.settings.fspath;
    return !folder.empty() && session.fs.isOrdinaryFile(JoinPath(folder, "FSX.EXE"));
}

}  // namespace

StartupOutcome CheckSettingsAndBackups(Session& session, SettingsWindowHost& settingsWindow) {
    ActionGuard guard(session);
    if (!guard) return StartupOutcome::Continue;
    AppSettings& settings = session.settings;
    Prompts& prompts = session.prompts;

    if (!session.fs.isOrdinaryFile(session.settingsFilePath)) {
        prompts.message(kFirstRunMessage);
        if (!settingsWindow.OpenModal()) return StartupOutcome::EndProgram;
    }

    LoadSettings(settings, session.sharedCfg, session.settingsFilePath);

    if (!SimulatorFound(session)) {
        prompts.message(kSimulatorPathInvalid);
        settings.fspath.clear();
        if (!settingsWindow.OpenModal()) return StartupOutcome::EndProgram;
    }
    if (!session.fs.isFolder(settings.backuppath)) {
        prompts.message(kBackupFolderInvalid);
        settings.backuppath.clear();
        if (!settingsWindow.OpenModal()) return StartupOutcome::EndProgram;
    }

    if (settings.norbackup.empty()) {
        if (!prompts.askYesNo(kFirstBackupQuestion)) {
            if (prompts.askYesNo(kNeverAskBackupQuestion)) {
                settings.norbackup = "2";
                Save(session);
            }
            return StartupOutcome::Continue;
        }
        // SkipExistingBackups is left as it stands: false at start, so every copy is written afresh.
        RunCreatePass(session, kInitialBackupTail);
        // Marked done whatever the outcome, so a cancelled or failed pass is not offered again.
        settings.norbackup = "1";
        Save(session);
    }

    if (settings.rebackup != "0") return StartupOutcome::Continue;
    if (!prompts.askYesNo(kIncrementalBackupQuestion)) {
        settings.rebackup = prompts.askYesNo(kNeverAskRebackupQuestion) ? "2" : "0";
        Save(session);
        return StartupOutcome::Continue;
    }
    session.skipExistingBackups = true;
    RunCreatePass(session, kIncrementalBackupTail);
    settings.rebackup = "1";
    Save(session);
    return StartupOutcome::Continue;
}

}  // namespace vrx
