#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "BackupFixture.h"
#include "backup/BackupManager.h"
#include "progress/StatusWindow.h"
#include "support/CopyFailingFileSystem.h"

namespace vrx {
namespace {

using Names = std::vector<std::string>;
using Contents = std::map<std::string, std::string>;

// The confirmation texts as the user must see them.
const std::string kMainText =
    "You are about to backup original textures that are currently installed in Flight Simulator. You will lose "
    "current backups if the Skip option is unchecked. Are you sure you want to continue?";
const std::string kAlternateText =
    "You are about to backup an alternate backup texture set that is currently installed in Flight Simulator. You "
    "will lose current backups if the Skip option is unchecked. Are you sure you want to continue?";
const std::string kRestoreAlternateText =
    "Are you sure you want to restore your alternate backup files? Your currently installed textures will be "
    "overwritten with the alternate backup textures.";
const std::string kRestoreOriginalText =
    "Are you sure you want to restore your original backup files? Your currently installed textures will be "
    "overwritten with the original backup textures.";

// Every file below folder with its content, by relative path.
Contents Snapshot(const std::string& folder) {
    Contents contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            contents[std::filesystem::relative(entry.path(), folder).string()] = test::ReadFile(entry.path());
        }
    }
    return contents;
}

// One simulator folder holding a.bmp, a list naming it.
class ManagerFixture : public test::BackupFixture {
public:
    ManagerFixture() {
        WriteList({"2", "a.bmp", "end"});
        SetSlots({"Texture"});
        test::WriteFile(simFolder + "/Texture/a.bmp", "sim a");
    }
    std::string SimA() const { return test::ReadFile(simFolder + "/Texture/a.bmp"); }
};

class BackupManagerTest : public ::testing::Test, protected ManagerFixture {};

TEST_F(BackupManagerTest, LoadEnablesAlternateRestoreOnlyForVrbFiles) {
    struct Case {
        const char* name;
        Names files;
        bool alternate;
    };
    const Case cases[] = {
        {"empty folder", {}, false},
        {"main set only", {"a.bmp"}, false},
        {"alternate set", {"a.bmp", "a.bmp.VRB"}, true},
        {"lower case suffix", {"x.vrb"}, true},
        {"mixed case suffix", {"x.VrB"}, true},
        {"suffix without a dot", {"xvrb"}, false},
        {"longer suffix", {"x.vrbx"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ManagerFixture f;
        for (const std::string& name : c.files) test::WriteFile(f.backupFolder + "/" + name, "data");

        const BackupManagerState state = LoadBackupManager(f.session);

        EXPECT_FALSE(state.loadFailed);
        EXPECT_EQ(state.alternateAvailable, c.alternate);
        EXPECT_TRUE(f.prompts.shown.empty());
    }
}

TEST_F(BackupManagerTest, LoadIgnoresHiddenVrbFilesAndMissingFolders) {
    test::WriteFile(backupFolder + "/x.vrb", "data");
    SetAttributes(backupFolder + "/x.vrb", AttrHidden);
    EXPECT_FALSE(LoadBackupManager(session).alternateAvailable);

    settings.backuppath = tmp / "missing";
    const BackupManagerState state = LoadBackupManager(session);
    EXPECT_FALSE(state.loadFailed);
    EXPECT_FALSE(state.alternateAvailable);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(BackupManagerTest, LoadFailsWithTheMessageWhenTheFolderCannotBeSearched) {
    struct Case {
        const char* name;
        std::string folder;
    };
    const std::string loop = tmp / "loop";
    std::filesystem::create_symlink(loop, loop);
    const Case cases[] = {
        {"name too long", tmp / std::string(300, 'x')},
        {"link to itself", loop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.shown.clear();
        settings.backuppath = c.folder;

        const BackupManagerState state = LoadBackupManager(session);

        EXPECT_TRUE(state.loadFailed);
        EXPECT_FALSE(state.alternateAvailable);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].kind, test::ShownPrompt::Message);
        EXPECT_EQ(prompts.shown[0].text,
                  "Your backup path is invalid. Please correct this in the Settings screen before proceeding.");
        EXPECT_EQ(prompts.shown[0].title, "Verdantis");
    }
}

enum class Effect {
    None,
    CreateMain,
    CreateAlternate,
    RestoreMain,
    RestoreAlternate,
};

struct ActionCase {
    const char* name;
    BackupAction action;
    Names backupFiles;  // each holds "bak " + its name
    std::vector<bool> answers;
    const std::string* question;  // nullptr: no confirmation
    Effect effect;
    const char* historyTail;
};

void PrintTo(const ActionCase& c, std::ostream* os) {
    *os << c.name;
}

class BackupManagerActions : public ::testing::TestWithParam<ActionCase>, protected ManagerFixture {};

TEST_P(BackupManagerActions, ConfirmsWhenDataCouldBeLostThenRunsAndRecords) {
    const ActionCase& c = GetParam();
    for (const std::string& name : c.backupFiles) test::WriteFile(backupFolder + "/" + name, "bak " + name);
    for (bool yes : c.answers) prompts.answer(yes);
    const Contents backupBefore = Snapshot(backupFolder);

    EXPECT_TRUE(PerformBackupAction(session, c.action, false));

    if (c.question) {
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].kind, test::ShownPrompt::YesNo);
        EXPECT_EQ(prompts.shown[0].text, *c.question);
        EXPECT_EQ(prompts.shown[0].title, "IMPORTANT!");
    } else {
        EXPECT_TRUE(prompts.shown.empty());
    }
    EXPECT_TRUE(prompts.answers.empty());
    Contents backupAfter = backupBefore;
    std::string simA = "sim a";
    switch (c.effect) {
        case Effect::None:
            break;
        case Effect::CreateMain:
            backupAfter["a.bmp"] = "sim a";
            break;
        case Effect::CreateAlternate:
            backupAfter["a.bmp.VRB"] = "sim a";
            break;
        case Effect::RestoreMain:
            simA = "bak a.bmp";
            break;
        case Effect::RestoreAlternate:
            simA = "bak a.bmp.VRB";
            break;
    }
    EXPECT_EQ(Snapshot(backupFolder), backupAfter);
    EXPECT_EQ(Snapshot(simFolder), (Contents{{"Texture/a.bmp", simA}}));
    EXPECT_EQ(view.shows > 0, c.effect != Effect::None);
    EXPECT_EQ(HistoryLines(), c.historyTail ? Names{ExpectedHistoryLine(c.historyTail)} : Names{});
}

const char* const kMainTail = " - Created Main Backup Files";
const char* const kAlternateTail = " - Created Alternate Backup Files";
const char* const kRestoreAlternateTail = " - Restored Alternate Texture Backup";
const char* const kRestoreMainTail = " - Restored Main Texture Backup";

INSTANTIATE_TEST_SUITE_P(
    Links, BackupManagerActions,
    ::testing::Values(
        ActionCase{"MainEmptyFolderStartsAtOnce",
                   BackupAction::ReinitializeMain,
                   {},
                   {},
                   nullptr,
                   Effect::CreateMain,
                   kMainTail},
        ActionCase{"MainWithVrbOnlyStartsAtOnce",
                   BackupAction::ReinitializeMain,
                   {"x.bmp.VRB"},
                   {},
                   nullptr,
                   Effect::CreateMain,
                   kMainTail},
        ActionCase{"MainWithBmpAsksYes",
                   BackupAction::ReinitializeMain,
                   {"a.bmp"},
                   {true},
                   &kMainText,
                   Effect::CreateMain,
                   kMainTail},
        ActionCase{
            "MainWithBmpAsksNo", BackupAction::ReinitializeMain, {"a.bmp"}, {false}, &kMainText, Effect::None, nullptr},
        ActionCase{"MainWithUpperCaseBmpAsks",
                   BackupAction::ReinitializeMain,
                   {"OTHER.BMP"},
                   {false},
                   &kMainText,
                   Effect::None,
                   nullptr},
        ActionCase{"AlternateEmptyFolderStartsAtOnce",
                   BackupAction::CreateAlternate,
                   {},
                   {},
                   nullptr,
                   Effect::CreateAlternate,
                   kAlternateTail},
        ActionCase{"AlternateWithBmpOnlyStartsAtOnce",
                   BackupAction::CreateAlternate,
                   {"a.bmp"},
                   {},
                   nullptr,
                   Effect::CreateAlternate,
                   kAlternateTail},
        ActionCase{"AlternateWithVrbAsksYes",
                   BackupAction::CreateAlternate,
                   {"a.bmp.VRB"},
                   {true},
                   &kAlternateText,
                   Effect::CreateAlternate,
                   kAlternateTail},
        ActionCase{"AlternateWithVrbAsksNo",
                   BackupAction::CreateAlternate,
                   {"x.vrb"},
                   {false},
                   &kAlternateText,
                   Effect::None,
                   nullptr},
        ActionCase{"RestoreAlternateAlwaysAsksNo",
                   BackupAction::RestoreAlternate,
                   {},
                   {false},
                   &kRestoreAlternateText,
                   Effect::None,
                   nullptr},
        ActionCase{"RestoreAlternateYes",
                   BackupAction::RestoreAlternate,
                   {"a.bmp.VRB"},
                   {true},
                   &kRestoreAlternateText,
                   Effect::RestoreAlternate,
                   kRestoreAlternateTail},
        ActionCase{"RestoreOriginalAlwaysAsksNo",
                   BackupAction::RestoreOriginal,
                   {"a.bmp"},
                   {false},
                   &kRestoreOriginalText,
                   Effect::None,
                   nullptr},
        ActionCase{"RestoreOriginalYes",
                   BackupAction::RestoreOriginal,
                   {"a.bmp"},
                   {true},
                   &kRestoreOriginalText,
                   Effect::RestoreMain,
                   kRestoreMainTail}),
    [](const ::testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

TEST_F(BackupManagerTest, CloseOnlyRecordsTheCheckBox) {
    for (bool checked : {true, false}) {
        SCOPED_TRACE(checked ? "checked" : "unchecked");
        ManagerFixture f;
        f.session.skipExistingBackups = !checked;
        const Contents before = Snapshot(f.tmp.path());

        EXPECT_TRUE(PerformBackupAction(f.session, BackupAction::Close, checked));

        EXPECT_EQ(f.session.skipExistingBackups, checked);
        EXPECT_TRUE(f.prompts.shown.empty());
        EXPECT_EQ(f.view.shows, 0);
        EXPECT_EQ(Snapshot(f.tmp.path()), before);
    }
}

TEST_F(BackupManagerTest, SkipCheckBoxDecidesWhetherExistingCopiesAreKept) {
    for (bool checked : {true, false}) {
        SCOPED_TRACE(checked ? "checked" : "unchecked");
        ManagerFixture f;
        test::WriteFile(f.backupFolder + "/a.bmp", "old a");
        f.prompts.answer(true);

        EXPECT_TRUE(PerformBackupAction(f.session, BackupAction::ReinitializeMain, checked));

        EXPECT_EQ(test::ReadFile(f.backupFolder + "/a.bmp"), checked ? "old a" : "sim a");
        EXPECT_EQ(f.session.skipExistingBackups, checked);
    }
}

TEST_F(BackupManagerTest, CreateActionsMakeAMissingBackupFolderOneLevelDeep) {
    for (BackupAction action : {BackupAction::ReinitializeMain, BackupAction::CreateAlternate}) {
        SCOPED_TRACE(static_cast<int>(action));
        ManagerFixture f;
        f.settings.backuppath = f.tmp / "new";

        EXPECT_TRUE(PerformBackupAction(f.session, action, true));

        EXPECT_TRUE(std::filesystem::is_directory(f.tmp / "new"));
        EXPECT_EQ(test::ListNames(f.tmp / "new").size(), 1u);
        EXPECT_TRUE(f.prompts.shown.empty());
        EXPECT_EQ(f.HistoryLines().size(), 1u);
    }
}

TEST_F(BackupManagerTest, BackupFolderThatCannotBeCreatedEndsTheAction) {
    for (const char* folder : {"no/parent", ""}) {
        SCOPED_TRACE(folder);
        ManagerFixture f;
        f.settings.backuppath = *folder ? f.tmp / folder : "";
        const Contents before = Snapshot(f.tmp.path());

        EXPECT_TRUE(PerformBackupAction(f.session, BackupAction::ReinitializeMain, false));

        EXPECT_TRUE(f.FailureShown());
        EXPECT_EQ(f.prompts.shown.size(), 1u);
        EXPECT_EQ(Snapshot(f.tmp.path()), before);
        EXPECT_FALSE(test::PathExists(f.tmp / "no"));
        EXPECT_EQ(f.view.shows, 0);
    }
}

TEST_F(BackupManagerTest, UnsearchableBackupFolderIsConfirmedBeforeCreating) {
    const std::string loop = tmp / "loop";
    std::filesystem::create_symlink(loop, loop);
    settings.backuppath = loop;
    prompts.answer(false);

    EXPECT_TRUE(PerformBackupAction(session, BackupAction::ReinitializeMain, false));

    EXPECT_EQ(prompts.texts(), Names{kMainText});
    EXPECT_TRUE(HistoryLines().empty());
}

TEST_F(BackupManagerTest, CancelDuringTheFirstFolderLeavesTheSecondAndWritesNoHistory) {
    WriteList({"3", "a.bmp", "b.bmp", "end"});
    SetSlots({"Texture", "Scenery"});
    for (const char* folder : {"Texture", "Scenery"}) {
        for (const char* name : {"a.bmp", "b.bmp"}) {
            test::WriteFile(simFolder + "/" + folder + "/" + name, std::string("sim ") + name);
        }
    }
    for (const char* name : {"a.bmp", "b.bmp"}) test::WriteFile(backupFolder + "/" + name, std::string("bak ") + name);
    view.onEvents = [this](int pass) {
        if (pass == 1) status.RequestClose();
    };
    prompts.answer(true).answer(true);  // restore, then cancel

    EXPECT_TRUE(PerformBackupAction(session, BackupAction::RestoreOriginal, false));

    EXPECT_EQ(prompts.texts(), (Names{kRestoreOriginalText, "Are you sure you want to cancel this action?"}));
    EXPECT_TRUE(status.CancelRequested());
    // The entry whose turn had begun is still copied; nothing after it.
    EXPECT_EQ(Snapshot(simFolder), (Contents{{"Texture/a.bmp", "bak a.bmp"},
                                             {"Texture/b.bmp", "sim b.bmp"},
                                             {"Scenery/a.bmp", "sim a.bmp"},
                                             {"Scenery/b.bmp", "sim b.bmp"}}));
    EXPECT_TRUE(HistoryLines().empty());
}

// A failure is said and not recorded as done: only a completed action gets its history line.
TEST_F(BackupManagerTest, FailedRunIsReportedAndNotRecorded) {
    test::WriteFile(backupFolder + "/a.bmp", "bak a");
    SetAttributes(simFolder + "/Texture/a.bmp", AttrReadOnly);
    prompts.answer(true);

    EXPECT_TRUE(PerformBackupAction(session, BackupAction::RestoreOriginal, false));

    EXPECT_TRUE(FailureShown());
    EXPECT_EQ(SimA(), "sim a");
    EXPECT_TRUE(HistoryLines().empty());
}

// Every action into a folder that cannot be written fails and writes no
// history line; the same action into a writable folder is recorded.
TEST_F(BackupManagerTest, ActionsIntoAFolderThatCannotBeWrittenAreNotRecorded) {
    struct Case {
        const char* name;
        BackupAction action;
        const char* restored;  // what a restore writes into the simulator; nullptr: a backup, into the backup folder
        const char* historyTail;
    };
    const Case cases[] = {
        {"main set", BackupAction::ReinitializeMain, nullptr, " - Created Main Backup Files"},
        {"alternate set", BackupAction::CreateAlternate, nullptr, " - Created Alternate Backup Files"},
        {"restore alternate", BackupAction::RestoreAlternate, "alt a", " - Restored Alternate Texture Backup"},
        {"restore original", BackupAction::RestoreOriginal, "bak a", " - Restored Main Texture Backup"},
    };
    for (const Case& c : cases) {
        for (const bool writable : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (writable ? ", writable" : ", cannot be written"));
            ManagerFixture f;
            // Two simulator folders, and a backup of each file in both sets.
            f.SetSlots({"Texture", "Scenery"});
            test::WriteFile(f.simFolder + "/Scenery/a.bmp", "sim a");
            test::WriteFile(f.backupFolder + "/a.bmp", "bak a");
            test::WriteFile(f.backupFolder + "/a.bmp.VRB", "alt a");
            const std::string target = c.restored ? f.simFolder + "/Texture" : f.backupFolder;
            test::CopyFailingFileSystem unwritable(f.fs, writable ? f.tmp / "elsewhere" : target);
            Session session{unwritable, f.prompts, f.status, f.history, f.cfg, f.settings, f.appFolder,
                            f.session.settingsFilePath};
            session.backupSourceFolders = f.session.backupSourceFolders;
            f.prompts.answer(true).answer(true);

            EXPECT_TRUE(PerformBackupAction(session, c.action, false));

            EXPECT_EQ(f.FailureShown(), !writable);
            EXPECT_EQ(f.HistoryLines(), writable ? Names{f.ExpectedHistoryLine(c.historyTail)} : Names{});
            // A restore goes on into the second folder after the first failed; the action is still not done.
            if (c.restored) {
                EXPECT_EQ(test::ReadFile(f.simFolder + "/Texture/a.bmp"), writable ? c.restored : "sim a");
                EXPECT_EQ(test::ReadFile(f.simFolder + "/Scenery/a.bmp"), c.restored);
            }
        }
    }
}

TEST_F(BackupManagerTest, ActionStartedWhileAnotherRunsIsRefused) {
    std::vector<bool> closes;
    std::vector<bool> restores;
    view.onEvents = [&](int) {
        closes.push_back(PerformBackupAction(session, BackupAction::Close, false));
        restores.push_back(PerformBackupAction(session, BackupAction::RestoreOriginal, true));
    };

    EXPECT_TRUE(PerformBackupAction(session, BackupAction::ReinitializeMain, true));

    ASSERT_FALSE(restores.empty());
    for (bool accepted : restores) EXPECT_FALSE(accepted);
    // Close starts no action: it is never refused and records its check box at once.
    for (bool accepted : closes) EXPECT_TRUE(accepted);
    EXPECT_FALSE(session.skipExistingBackups);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(HistoryLines(), Names{ExpectedHistoryLine(" - Created Main Backup Files")});

    view.onEvents = nullptr;
    prompts.answer(true);
    EXPECT_TRUE(PerformBackupAction(session, BackupAction::RestoreOriginal, true));
    EXPECT_TRUE(session.skipExistingBackups);
}

}  // namespace
}  // namespace vrx
