#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/InstallCommand.h"
#include "install/SessionRig.h"

namespace vrx {
namespace {

using test::ListNames;
using test::MakeDirs;
using test::PathExists;
using test::ReadFile;
using test::SessionRig;
using test::TestRows;
using test::WriteFile;

constexpr const char* kQuestion = "Are you sure you want to cancel this action?";
constexpr const char* kDone = "Files successfully copied!";

// Areas "Area <i>" with texture folder app/Textures/A<i> and simulator folder fsx/Texture/T<i>.
struct InstallRig : SessionRig {
    std::vector<SceneryArea> areas;

    InstallRig() { settings.fspath = dir / "fsx"; }

    // Adds an area whose source holds files x0.dds, x1.dds, ... of fileCount.
    void AddArea(int fileCount) {
        const std::string index = std::to_string(areas.size());
        SceneryArea area;
        area.Name = "Area " + index;
        area.SourceFolder = "Textures/A" + index;
        area.TargetFolder = "Texture/T" + index;
        MakeDirs(SourceOf(area));
        for (int i = 0; i < fileCount; ++i) {
            WriteFile(SourceOf(area) + "/x" + std::to_string(i) + ".dds", index + "-" + std::to_string(i));
        }
        MakeDirs(dir / "fsx" + "/" + area.TargetFolder);
        areas.push_back(area);
    }
    std::string SourceOf(const SceneryArea& area) const { return appFolder + "/" + area.SourceFolder; }
    std::string Source(std::size_t i) const { return SourceOf(areas[i]); }
    std::string Target(std::size_t i) const { return dir / "fsx" + "/" + areas[i].TargetFolder; }
    std::vector<std::string> Order(std::size_t i) { return fs.listOrdinaryFiles(Source(i)).value(); }

    // Rows named after the areas, checked where listed.
    TestRows Rows(const std::vector<int>& checked) const {
        std::vector<TestRows::Row> rows;
        for (std::size_t i = 0; i < areas.size(); ++i) {
            const bool on = std::find(checked.begin(), checked.end(), static_cast<int>(i)) != checked.end();
            rows.push_back({areas[i].Name, on});
        }
        return TestRows(rows);
    }

    bool Install(const std::vector<int>& checked) { return InstallSelectedAreas(session, Rows(checked), areas); }

    // The clock stands at 12/8/2026 9:02:01 PM; the version is 1.0.8.
    std::string LineFor(const std::string& rowText) const {
        return "12/8/2026 9:02:01 PM - Installed version 1.08 - " + rowText;
    }
    std::string HistoryText() const {
        return PathExists(history.FilePath()) ? ReadFile(history.FilePath()) : std::string("<no file>");
    }
    std::string HistoryOf(const std::vector<std::string>& rowTexts) {
        std::string text;
        for (const auto& row : rowTexts) text += LineFor(row) + "\r\n";
        return text;
    }
    bool Copied(std::size_t i) const { return ListNames(Target(i)) == ListNames(Source(i)); }
};

TEST(InstallSelectedAreas, CopiesAndLogsTheCheckedAreasInRowOrder) {
    InstallRig rig;
    for (int i = 0; i < 4; ++i) rig.AddArea(2);

    EXPECT_TRUE(rig.Install({1, 3}));

    EXPECT_TRUE(ListNames(rig.Target(0)).empty());
    EXPECT_TRUE(rig.Copied(1));
    EXPECT_TRUE(ListNames(rig.Target(2)).empty());
    EXPECT_TRUE(rig.Copied(3));
    EXPECT_EQ(ReadFile(rig.Target(3) + "/x1.dds"), "3-1");
    EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 1", "Area 3"}));

    std::vector<std::string> captions{""};
    for (const auto& name : rig.Order(1)) captions.push_back(rig.Target(1) + "/" + name);
    captions.push_back("");
    for (const auto& name : rig.Order(3)) captions.push_back(rig.Target(3) + "/" + name);
    captions.push_back("");
    EXPECT_EQ(rig.view.captions, captions);
    // Each area starts its own bar; FinishRun leaves the last one full.
    EXPECT_EQ(rig.view.percents, (std::vector<std::string>{"#", "", "50%", "100%", "100%", "", "50%", "100%", "100%"}));
    EXPECT_EQ(rig.view.actionTexts,
              (std::vector<std::string>{"Copying Verdantis files...", "Copying Verdantis files...", kDone}));
    EXPECT_EQ(rig.view.beeps, 1);
    EXPECT_EQ(rig.view.pauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(1500)});
    EXPECT_FALSE(rig.status.IsOpen());
    EXPECT_TRUE(rig.prompts.shown.empty());
    EXPECT_FALSE(rig.session.actionRunning);
}

struct JoinCase {
    const char* name;
    std::string fspathTail;
    std::string targetFolder;
};

TEST(InstallSelectedAreas, TargetFolderIsJoinedWithoutDoubledSeparators) {
    const JoinCase cases[] = {
        {"Plain", "fsx", "Texture"},
        {"FspathWithTrailingSeparator", "fsx/", "Texture"},
        {"TargetWithLeadingSeparator", "fsx", "/Texture"},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        InstallRig rig;
        rig.AddArea(1);
        rig.areas[0].TargetFolder = c.targetFolder;
        rig.settings.fspath = rig.dir / c.fspathTail;
        MakeDirs(rig.dir / "fsx/Texture");

        rig.Install({0});

        ASSERT_GE(rig.view.captions.size(), 2u);
        EXPECT_EQ(rig.view.captions[1], rig.dir / "fsx/Texture/x0.dds");
        EXPECT_EQ(ReadFile(rig.dir / "fsx/Texture/x0.dds"), "0-0");
        EXPECT_TRUE(rig.prompts.shown.empty());
    }
}

TEST(InstallSelectedAreas, UnsetSimulatorFolderFailsTheAreaAndCopiesNothing) {
    InstallRig rig;
    rig.AddArea(1);
    // A name no other program uses, so that its absence at the root means something.
    rig.areas[0].TargetFolder = "vrx-unset-" + rig.dir.path().substr(rig.dir.path().rfind('/') + 1);
    rig.settings.fspath.clear();

    EXPECT_TRUE(rig.Install({0}));

    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Error copying files (not all files were copied)! You may "
                                                       "want to try the Read-Only fix in the Settings screen."});
    EXPECT_FALSE(PathExists("/" + rig.areas[0].TargetFolder));
    EXPECT_EQ(rig.view.shows, 0);
    EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 0"}));
}

TEST(InstallSelectedAreas, InstallAfterACancelledActionRuns) {
    InstallRig rig;
    rig.AddArea(2);
    rig.status.SetCancelRequested(true);  // left by an earlier action the user cancelled

    EXPECT_TRUE(rig.Install({0}));

    EXPECT_TRUE(rig.Copied(0));
    EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 0"}));
    EXPECT_EQ(rig.view.actionTexts.back(), kDone);
}

TEST(InstallSelectedAreas, AHistoryFileThatIsAPipeLosesTheLineWithoutHanging) {
    InstallRig rig;
    rig.AddArea(1);
    MakeDirs(rig.appFolder);
    ASSERT_EQ(mkfifo(rig.history.FilePath().c_str(), 0644), 0);
    // In a child that an alarm ends, so that waiting on the pipe fails instead of hanging.
    EXPECT_EXIT(
        {
            alarm(10);
            rig.Install({0});
            _exit(rig.Copied(0) && rig.view.actionTexts.back() == kDone && rig.prompts.shown.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(InstallSelectedAreas, NothingCheckedOnlyShowsItsMessage) {
    InstallRig rig;
    rig.AddArea(1);
    rig.AddArea(1);

    EXPECT_TRUE(rig.Install({}));

    ASSERT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_EQ(rig.prompts.shown[0].text,
              "There are no scenery areas selected! Please click one of the checkboxes in the scenery list.");
    EXPECT_EQ(rig.prompts.shown[0].title, "Verdantis");
    EXPECT_EQ(rig.view.shows, 0);
    EXPECT_EQ(rig.view.beeps, 0);
    EXPECT_TRUE(rig.view.pauses.empty());
    EXPECT_FALSE(PathExists(rig.history.FilePath()));
    EXPECT_TRUE(ListNames(rig.Target(0)).empty());
}

TEST(InstallSelectedAreas, AreaWithMissingSourceIsStillLoggedAndTheRunGoesOn) {
    InstallRig rig;
    rig.AddArea(1);
    rig.AddArea(2);
    rig.areas[0].SourceFolder = "Textures/Missing";

    EXPECT_TRUE(rig.Install({0, 1}));

    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Source path does not exist."});
    EXPECT_TRUE(rig.Copied(1));
    EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 0", "Area 1"}));
    EXPECT_EQ(rig.view.actionTexts.back(), kDone);
    EXPECT_EQ(rig.view.pauses.size(), 1u);
}

TEST(InstallSelectedAreas, FailedAreaIsLoggedAndTheNextAreaReopensTheWindow) {
    InstallRig rig;
    rig.AddArea(0);  // no ordinary file: the failure path
    rig.AddArea(2);

    EXPECT_TRUE(rig.Install({0, 1}));

    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Error copying files (not all files were copied)! You may "
                                                       "want to try the Read-Only fix in the Settings screen."});
    EXPECT_TRUE(rig.Copied(1));
    EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 0", "Area 1"}));
    EXPECT_EQ(rig.view.actionTexts.back(), kDone);
    EXPECT_FALSE(rig.status.IsOpen());
}

TEST(InstallSelectedAreas, FailedLastAreaStillBeepsAndPausesWithNothingShown) {
    InstallRig rig;
    rig.AddArea(0);
    WriteFile(rig.Source(0) + "/Sub/a.dds", "A");

    EXPECT_TRUE(rig.Install({0}));

    EXPECT_EQ(rig.Messages().size(), 1u);
    EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 0"}));
    EXPECT_EQ(rig.view.shows, 0);
    EXPECT_TRUE(rig.view.actionTexts.empty());
    EXPECT_EQ(rig.view.beeps, 1);
    EXPECT_EQ(rig.view.pauses.size(), 1u);
    EXPECT_TRUE(rig.status.ClosingByProgram());
}

struct InstallCancelCase {
    int clickAtPass;  // the second area's passes are 7 to 12
    std::size_t copiedInSecond;
};

TEST(InstallSelectedAreas, CancelDuringTheSecondAreaStopsAtOnce) {
    const InstallCancelCase cases[] = {{7, 1}, {8, 1}, {9, 2}, {12, 3}};
    for (const InstallCancelCase& c : cases) {
        SCOPED_TRACE("click at pass " + std::to_string(c.clickAtPass));
        InstallRig rig;
        for (int i = 0; i < 3; ++i) rig.AddArea(3);
        rig.prompts.answer(true);
        rig.view.onEvents = [&](int pass) {
            if (pass == c.clickAtPass) rig.status.RequestClose();
        };

        EXPECT_TRUE(rig.Install({0, 1, 2}));

        EXPECT_TRUE(rig.Copied(0));
        EXPECT_EQ(ListNames(rig.Target(1)).size(), c.copiedInSecond);
        EXPECT_TRUE(ListNames(rig.Target(2)).empty());
        EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 0"}));
        EXPECT_EQ(rig.prompts.texts(), std::vector<std::string>{kQuestion});
        EXPECT_EQ(std::count(rig.view.actionTexts.begin(), rig.view.actionTexts.end(), kDone), 0);
        EXPECT_EQ(rig.view.beeps, 0);
        EXPECT_TRUE(rig.view.pauses.empty());
        EXPECT_FALSE(rig.status.IsOpen());
        EXPECT_TRUE(rig.status.CancelRequested());
    }
}

TEST(InstallSelectedAreas, AnsweringNoLetsTheRunFinish) {
    InstallRig rig;
    for (int i = 0; i < 3; ++i) rig.AddArea(3);
    rig.prompts.answer(false);
    rig.view.onEvents = [&](int pass) {
        if (pass == 8) rig.status.RequestClose();
    };

    EXPECT_TRUE(rig.Install({0, 1, 2}));

    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(rig.Copied(i)) << i;
    EXPECT_EQ(rig.HistoryText(), rig.HistoryOf({"Area 0", "Area 1", "Area 2"}));
    EXPECT_EQ(rig.prompts.texts(), std::vector<std::string>{kQuestion});
    EXPECT_EQ(rig.view.actionTexts.back(), kDone);
    EXPECT_EQ(rig.view.pauses.size(), 1u);
    EXPECT_FALSE(rig.status.CancelRequested());
    EXPECT_FALSE(rig.status.IsOpen());
}

TEST(InstallSelectedAreas, SecondRunStartedDuringARunIsRefused) {
    InstallRig rig;
    rig.AddArea(2);
    rig.AddArea(2);
    rig.prompts.answer(true);
    int nestedResult = -1;
    rig.view.onEvents = [&](int pass) {
        if (pass != 2) return;
        rig.status.RequestClose();
        // Not refused, it would clear the cancel and show its nothing-selected message.
        nestedResult = rig.Install({}) ? 1 : 0;
    };

    EXPECT_TRUE(rig.Install({0, 1}));

    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(rig.prompts.texts(), std::vector<std::string>{kQuestion});
    EXPECT_TRUE(rig.status.CancelRequested());
    EXPECT_EQ(ListNames(rig.Target(0)).size(), 1u);
    EXPECT_TRUE(ListNames(rig.Target(1)).empty());
    EXPECT_EQ(rig.HistoryText(), "<no file>");

    // Once the run has ended, the next one is accepted.
    rig.view.onEvents = nullptr;
    EXPECT_TRUE(rig.Install({}));
    EXPECT_EQ(rig.prompts.texts().back(),
              "There are no scenery areas selected! Please click one of the checkboxes in the scenery list.");
}

}  // namespace
}  // namespace vrx
