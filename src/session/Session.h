#pragma once
// The program-wide state and services that the long actions share: what the
// original kept in plain shared variables, gathered so that the app wires it
// to Qt and the tests wire it to temporary folders and scripted answers.

#include <string>

#include "catalogue/Catalogue.h"
#include "config/AppSettings.h"

namespace vrx {

class EzCfg;
class FileSystem;
class History;
class Prompts;
class StatusWindow;

struct Session {
    FileSystem& fs;
    Prompts& prompts;
    StatusWindow& status;
    History& history;
    EzCfg& sharedCfg;
    AppSettings& settings;
    std::string appFolder;         // without a trailing separator, "/" at the root
    std::string settingsFilePath;  // SettingsFilePathFor(appFolder)
    BackupFolderList backupSourceFolders{};
    bool skipExistingBackups = false;
    bool actionRunning = false;    // one long action at a time
};

// Marks a long action as running for its lifetime; a second action started
// while one runs (from an event handled between files) is refused.
class ActionGuard {
public:
    explicit ActionGuard(Session& session) : session_(session), acquired_(!session.actionRunning) {
        if (acquired_) session_.actionRunning = true;
    }
    ~ActionGuard() {
        if (acquired_) session_.actionRunning = false;
    }
    ActionGuard(const ActionGuard&) = delete;
    ActionGuard& operator=(const ActionGuard&) = delete;
    explicit operator bool() const { return acquired_; }

private:
    Session& session_;
    bool acquired_;
};

}  // namespace vrx
