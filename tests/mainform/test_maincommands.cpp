#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainform/MainCommands.h"
#include "platform/Shell.h"
#include "support/Scripted.h"

namespace vrx {
namespace {

// The desktop's open action, answering as told and recording each request.
class RecordingShell final : public Shell {
public:
    bool succeed = true;
    std::vector<std::pair<std::string, ShowMode>> opened;
    bool open(const std::string& target, ShowMode mode) override {
        opened.emplace_back(target, mode);
        return succeed;
    }
};

TEST(MainCommands, ManualFailureNamesTheFullPath) {
    RecordingShell shell;
    shell.succeed = false;
    test::ScriptedPrompts prompts;
    OpenManual(shell, prompts, "/");
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0].first, "/VRX_Manual.pdf");
    EXPECT_EQ(shell.opened[0].second, ShowMode::Normal);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "Error opening PDF file. Please manually open /VRX_Manual.pdf. A shortcut to the manual is in "
              "Start/Programs/Quellmark Software/Verdantis X Norvane.");
    EXPECT_EQ(prompts.shown[0].title, "Verdantis");
}

TEST(MainCommands, ManualOpenedShowsNothing) {
    RecordingShell shell;
    test::ScriptedPrompts prompts;
    OpenManual(shell, prompts, "/games/addon");
    EXPECT_EQ(shell.opened.at(0).first, "/games/addon/VRX_Manual.pdf");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(MainCommands, LogAndWebSiteFailuresAreSilent) {
    RecordingShell shell;
    shell.succeed = false;
    ViewLog(shell, "/");
    OpenWebSite(shell);
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0].first, "/history.txt");
    EXPECT_EQ(shell.opened[0].second, ShowMode::Normal);
    EXPECT_EQ(shell.opened[1].first, "https://www.quellmark.example/");
    EXPECT_EQ(shell.opened[1].second, ShowMode::Maximised);
}

TEST(MainCommands, HoverTexts) {
    EXPECT_EQ(SidebarHoverText(0), "Verdantis Help and User Manual.");
    EXPECT_EQ(SidebarHoverText(1), "Backup Manager - Manage your texture backups.");
    EXPECT_EQ(SidebarHoverText(2), "Check for the latest version from https://updates.quellmark.example/.");
    EXPECT_EQ(SidebarHoverText(3), "Verdantis Settings");
    EXPECT_EQ(SidebarHoverText(4), "Visit www.quellmark.example on the internet!");
    EXPECT_EQ(SidebarHoverText(5), std::nullopt);
}

}  // namespace
}  // namespace vrx
