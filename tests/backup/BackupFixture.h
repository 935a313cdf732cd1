#pragma once
// A whole session over a temporary folder: the real Linux file system, the
// settings and history objects, a status window whose close box a test can
// click, and scripted answers. Folders: app/ (backup.lst, settings.cfg,
// history.txt), fsx/ (the simulator) and backup/.

#include <initializer_list>
#include <string>
#include <vector>

#include "session/Session.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "history/History.h"
#include "platform/linux/LinuxFileSystem.h"
#include "progress/StatusWindow.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vrx::test {

class BackupFixture {
public:
    BackupFixture();

    // Writes app/backup.lst: the given lines, each ended by CR LF.
    void WriteList(std::initializer_list<std::string> lines);
    // Sets the backup source folders, below fsx/.
    void SetSlots(std::initializer_list<std::string> slots);
    // Lines of app/history.txt without their CR LF; empty when there is no file.
    std::vector<std::string> HistoryLines() const;
    // The history line for an action text at the fixture's clock (12/8/2026 9:02:01 PM), version 1.0.8.
    std::string ExpectedHistoryLine(const std::string& tail);
    // Whether the last box shown was the engine's failure message.
    bool FailureShown() const;
    // Sets attributes through the file system, failing the test when it cannot.
    void SetAttributes(const std::string& path, std::uint32_t attributes);

    CLocale locale;
    TempDir tmp;
    std::string appFolder = tmp / "app";
    std::string simFolder = tmp / "fsx";
    std::string backupFolder = tmp / "backup";
    LinuxFileSystem fs;
    ScriptedPrompts prompts;
    ScriptedStatusView view;
    StatusWindow status{view, prompts};
    FixedClock clock{MakeTime(2026, 12, 8, 21, 2, 1)};
    History history{fs, clock, appFolder};
    EzCfg cfg{fs};
    AppSettings settings;
    Session session{fs, prompts, status, history, cfg, settings, appFolder, SettingsFilePathFor(appFolder)};
};

}  // namespace vrx::test
