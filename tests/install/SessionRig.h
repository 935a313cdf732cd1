#pragma once
// A whole session on a real temporary folder: the Linux file system, the
// settings, the history in the AppFolder with a fixed clock, and scripted
// answers and status window. Install tests build their folders inside dir.

#include <string>
#include <utility>
#include <vector>

#include "session/Session.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "history/History.h"
#include "install/InstallCommand.h"
#include "platform/linux/LinuxFileSystem.h"
#include "progress/StatusWindow.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vrx::test {

struct SessionRig {
    CLocale locale;
    TempDir dir;
    LinuxFileSystem fs;
    ScriptedPrompts prompts;
    ScriptedStatusView view;
    StatusWindow status{view, prompts};
    FixedClock clock{MakeTime(2026, 12, 8, 21, 2, 1)};
    std::string appFolder = dir / "app";
    History history{fs, clock, appFolder};
    EzCfg cfg{fs};
    AppSettings settings{};
    Session session{fs, prompts, status, history, cfg, settings, appFolder, SettingsFilePathFor(appFolder)};

    // Texts of the OK-only messages shown, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& p : prompts.shown) {
            if (p.kind == ShownPrompt::Message) texts.push_back(p.text);
        }
        return texts;
    }
};

// The area list's rows: a name and a check box each.
class TestRows final : public AreaChecks {
public:
    struct Row {
        std::string text;
        bool checked;
    };
    explicit TestRows(std::vector<Row> rows) : rows_(std::move(rows)) {}
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    bool IsChecked(int row) const override { return rows_.at(static_cast<std::size_t>(row)).checked; }
    std::string RowText(int row) const override { return rows_.at(static_cast<std::size_t>(row)).text; }

private:
    std::vector<Row> rows_;
};

}  // namespace vrx::test
