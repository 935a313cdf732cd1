#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "BackupFixture.h"
#include "backup/StartupCheck.h"
#include "support/CopyFailingFileSystem.h"

namespace vrx {
namespace {

using Names = std::vector<std::string>;

// The texts as the user must see them, spelled out so that a changed text in the program is caught.
const std::string kFirstRunText =
    "Since this is the first time you are running Verdantis, we will open the Settings screen for you to confirm "
    "your Verdantis settings.";
const std::string kFsxText =
    "The path to FSX in your settings configuration file is invalid. Please confirm your path to FSX in the next "
    "screen (we will try to automatically locate the correct FSX path for you).";
const std::string kBackupFolderText =
    "The path to your backup folder is invalid. Please fix your backup folder path in the next screen";
const std::string kFirstQuestion =
    "Backup files are not detected. We will now backup your current Flight Simulator textures unless you select "
    "\"No\" below. If you select No, you will not be able to restore the current FSX textures. Are you ready to "
    "run the backup process now?";
const std::string kNeverAskBackup =
    "Do you want to mark the configuration file so you will not be prompted to backup in the future?";
const std::string kIncrementalQuestion =
    "There are new files that have been added that have not been backed up yet. We will now run the backup "
    "process again (existing backup files will be skipped) unless you select \"No\" below. If you select No, you "
    "will not be able to restore the current FSX textures. Are you ready to run the backup process now?";
const std::string kNeverAskRebackup =
    "Do you want to mark the configuration file so you will not be prompted to run the re-backup process in the "
    "future?";
const std::string kInitialTail = " - Created Initial Main Backup Files";
const std::string kIncrementalTail = " - Created Incremental Backup Files";

// The settings window as the check opens it: records what it saw, then does what the test says.
class ScriptedSettingsWindow final : public SettingsWindowHost {
public:
    explicit ScriptedSettingsWindow(const AppSettings& settings) : settings_(settings) {}
    bool OpenModal() override {
        seen.push_back(settings_);
        return onOpen ? onOpen() : true;
    }
    std::function<bool()> onOpen;
    std::vector<AppSettings> seen;

private:
    const AppSettings& settings_;
};

// A simulator with FSX.EXE and two textures, a backup folder holding an old
// copy of the first, and a list naming both.
class StartupFixture : public test::BackupFixture {
public:
    StartupFixture() {
        WriteList({"3", "a.bmp", "b.bmp", "end"});
        SetSlots({"Texture"});
        test::WriteFile(simFolder + "/FSX.EXE", "exe");
        test::WriteFile(simFolder + "/Texture/a.bmp", "new a");
        test::WriteFile(simFolder + "/Texture/b.bmp", "new b");
        test::WriteFile(backupFolder + "/a.bmp", "old a");
    }

    // settings.cfg with valid folders and the given marker lines (nullptr: no line).
    std::string WriteSettings(const char* norbackup, const char* rebackup, const char* newbackup) {
        std::string bytes = "FSPath=" + simFolder + "\r\nBackupPath=" + backupFolder + "\r\nReadOverwrite=0\r\n";
        if (norbackup) bytes += std::string("norbackup=") + norbackup + "\r\n";
        if (rebackup) bytes += std::string("rebackup=") + rebackup + "\r\n";
        if (newbackup) bytes += std::string("newbackup=") + newbackup + "\r\n";
        test::WriteFile(session.settingsFilePath, bytes);
        return bytes;
    }

    // The file SaveSettings writes for the fixture's folders.
    std::string SavedSettings(const std::string& norbackup, const std::string& rebackup) const {
        return "FSPath=" + simFolder + "\r\nBackupPath=" + backupFolder +
               "\r\nReadOverwrite=0\r\nnorbackup=" + norbackup + "\r\nrebackup=" + rebackup + "\r\n";
    }

    void Answer(const std::vector<bool>& answers) {
        for (bool yes : answers) prompts.answer(yes);
    }

    std::string BackupOf(const std::string& name) const {
        const std::string path = backupFolder + "/" + name;
        return test::PathExists(path) ? test::ReadFile(path) : "<none>";
    }

    ScriptedSettingsWindow window{settings};
};

enum class Pass {
    None,             // backup folder as it was
    Full,             // every copy written afresh (possibly followed by the incremental pass)
    IncrementalOnly,  // existing copies kept, missing ones added
};

struct DecisionCase {
    const char* name;
    const char* norbackup;  // nullptr: no line in the file
    const char* rebackup;
    const char* newbackup;
    std::vector<bool> answers;
    Names questions;
    std::optional<std::pair<std::string, std::string>> saved;  // norbackup, rebackup; nullopt: file untouched
    Names historyTails;
    Pass pass;
    bool skipAfter;
};

void PrintTo(const DecisionCase& c, std::ostream* os) {
    *os << c.name;
}

class StartupDecisions : public ::testing::TestWithParam<DecisionCase>, protected StartupFixture {};

TEST_P(StartupDecisions, AsksSavesAndRecordsAsTheMarkersSay) {
    const DecisionCase& c = GetParam();
    const std::string original = WriteSettings(c.norbackup, c.rebackup, c.newbackup);
    Answer(c.answers);

    EXPECT_EQ(CheckSettingsAndBackups(session, window), StartupOutcome::Continue);

    EXPECT_EQ(prompts.texts(), c.questions);
    for (const test::ShownPrompt& shown : prompts.shown) EXPECT_EQ(shown.title, "Verdantis");
    EXPECT_TRUE(prompts.answers.empty()) << "answers left unused";
    EXPECT_TRUE(window.seen.empty());
    const std::string file = test::ReadFile(session.settingsFilePath);
    if (c.saved) {
        EXPECT_EQ(file, SavedSettings(c.saved->first, c.saved->second));
    } else {
        EXPECT_EQ(file, original);
    }
    Names expectedHistory;
    for (const std::string& tail : c.historyTails) expectedHistory.push_back(ExpectedHistoryLine(tail));
    EXPECT_EQ(HistoryLines(), expectedHistory);
    switch (c.pass) {
        case Pass::None:
            EXPECT_EQ(BackupOf("a.bmp"), "old a");
            EXPECT_EQ(BackupOf("b.bmp"), "<none>");
            break;
        case Pass::Full:
            EXPECT_EQ(BackupOf("a.bmp"), "new a");
            EXPECT_EQ(BackupOf("b.bmp"), "new b");
            break;
        case Pass::IncrementalOnly:
            EXPECT_EQ(BackupOf("a.bmp"), "old a");
            EXPECT_EQ(BackupOf("b.bmp"), "new b");
            break;
    }
    EXPECT_EQ(session.skipExistingBackups, c.skipAfter);
}

const Names kFirstThenNeverAsk{kFirstQuestion, kNeverAskBackup};
const Names kIncrementalThenNeverAsk{kIncrementalQuestion, kNeverAskRebackup};
using Saved = std::pair<std::string, std::string>;

INSTANTIATE_TEST_SUITE_P(
    Markers, StartupDecisions,
    ::testing::Values(
        // The first full backup, declined.
        DecisionCase{"FirstNoThenMark",
                     nullptr,
                     "1",
                     nullptr,
                     {false, true},
                     kFirstThenNeverAsk,
                     Saved{"2", "1"},
                     {},
                     Pass::None,
                     false},
        DecisionCase{
            "FirstNoThenNo", "", "1", nullptr, {false, false}, kFirstThenNeverAsk, std::nullopt, {}, Pass::None, false},
        DecisionCase{"FirstNoThenMarkWithIncrementalPending",
                     "",
                     "0",
                     nullptr,
                     {false, true},
                     kFirstThenNeverAsk,
                     Saved{"2", "0"},
                     {},
                     Pass::None,
                     false},
        DecisionCase{"FirstNoThenNoKeepsNewbackup",
                     "",
                     "2",
                     "1",
                     {false, false},
                     kFirstThenNeverAsk,
                     std::nullopt,
                     {},
                     Pass::None,
                     false},
        // The first full backup, made.
        DecisionCase{
            "FirstYes", "", "1", nullptr, {true}, {kFirstQuestion}, Saved{"1", "1"}, {kInitialTail}, Pass::Full, false},
        DecisionCase{"FirstYesNothingPending",
                     nullptr,
                     nullptr,
                     nullptr,
                     {true},
                     {kFirstQuestion},
                     Saved{"1", ""},
                     {kInitialTail},
                     Pass::Full,
                     false},
        DecisionCase{"FirstYesIncrementalYes",
                     "",
                     "0",
                     nullptr,
                     {true, true},
                     {kFirstQuestion, kIncrementalQuestion},
                     Saved{"1", "1"},
                     {kInitialTail, kIncrementalTail},
                     Pass::Full,
                     true},
        DecisionCase{"FirstYesIncrementalNoThenMark",
                     "",
                     "0",
                     nullptr,
                     {true, false, true},
                     {kFirstQuestion, kIncrementalQuestion, kNeverAskRebackup},
                     Saved{"1", "2"},
                     {kInitialTail},
                     Pass::Full,
                     false},
        DecisionCase{"FirstYesIncrementalNoThenNo",
                     "",
                     "0",
                     nullptr,
                     {true, false, false},
                     {kFirstQuestion, kIncrementalQuestion, kNeverAskRebackup},
                     Saved{"1", "0"},
                     {kInitialTail},
                     Pass::Full,
                     false},
        // The incremental backup alone.
        DecisionCase{"IncrementalYes",
                     "1",
                     "0",
                     nullptr,
                     {true},
                     {kIncrementalQuestion},
                     Saved{"1", "1"},
                     {kIncrementalTail},
                     Pass::IncrementalOnly,
                     true},
        DecisionCase{"NewbackupMakesIncrementalPending",
                     "1",
                     "2",
                     "1",
                     {true},
                     {kIncrementalQuestion},
                     Saved{"1", "1"},
                     {kIncrementalTail},
                     Pass::IncrementalOnly,
                     true},
        DecisionCase{"IncrementalNoThenMark",
                     "2",
                     "0",
                     nullptr,
                     {false, true},
                     kIncrementalThenNeverAsk,
                     Saved{"2", "2"},
                     {},
                     Pass::None,
                     false},
        DecisionCase{"IncrementalNoThenNoDropsNewbackup",
                     "1",
                     "1",
                     "yes",
                     {false, false},
                     kIncrementalThenNeverAsk,
                     Saved{"1", "0"},
                     {},
                     Pass::None,
                     false},
        // Nothing pending.
        DecisionCase{"NothingPendingRebackupEmpty", "1", "", nullptr, {}, {}, std::nullopt, {}, Pass::None, false},
        DecisionCase{"NothingPendingRebackupDone", "2", "1", nullptr, {}, {}, std::nullopt, {}, Pass::None, false},
        DecisionCase{"NothingPendingOtherTexts", "x", "00", nullptr, {}, {}, std::nullopt, {}, Pass::None, false},
        DecisionCase{"EmptyNewbackupDoesNotOverride", "1", "2", "", {}, {}, std::nullopt, {}, Pass::None, false}),
    [](const ::testing::TestParamInfo<DecisionCase>& info) { return std::string(info.param.name); });

class StartupCheckTest : public ::testing::Test, protected StartupFixture {};

TEST_F(StartupCheckTest, FirstStartOpensTheSettingsWindowThenChecksWhatWasSaved) {
    window.onOpen = [this] {
        settings.fspath = simFolder;
        settings.backuppath = backupFolder;
        SaveSettings(settings, cfg, session.settingsFilePath);
        return true;
    };
    Answer({false, false});

    EXPECT_EQ(CheckSettingsAndBackups(session, window), StartupOutcome::Continue);

    EXPECT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(prompts.texts(), (Names{kFirstRunText, kFirstQuestion, kNeverAskBackup}));
    EXPECT_EQ(prompts.shown.front().kind, test::ShownPrompt::Message);
    EXPECT_EQ(settings.fspath, simFolder);
}

TEST_F(StartupCheckTest, SettingsWindowThatEndsTheProgramEndsTheCheckAtOnce) {
    struct Case {
        const char* name;
        bool settingsFile;
        bool simulatorValid;
        bool backupValid;
        Names messages;
    };
    const Case cases[] = {
        {"first start", false, true, true, {kFirstRunText}},
        {"invalid simulator folder", true, false, true, {kFsxText}},
        {"invalid backup folder", true, true, false, {kBackupFolderText}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartupFixture f;
        if (c.settingsFile) f.WriteSettings("", "0", nullptr);
        if (!c.simulatorValid) std::filesystem::remove(f.simFolder + "/FSX.EXE");
        if (!c.backupValid) std::filesystem::remove_all(f.backupFolder);
        f.window.onOpen = [] { return false; };

        EXPECT_EQ(CheckSettingsAndBackups(f.session, f.window), StartupOutcome::EndProgram);

        EXPECT_EQ(f.prompts.texts(), c.messages);
        EXPECT_EQ(f.window.seen.size(), 1u);
        EXPECT_TRUE(f.HistoryLines().empty());
        EXPECT_FALSE(f.session.actionRunning);
    }
}

TEST_F(StartupCheckTest, InvalidFoldersAreEmptiedBeforeTheSettingsWindowAndNotCheckedAgain) {
    std::filesystem::remove(simFolder + "/FSX.EXE");
    const std::string missingBackup = tmp / "missing";
    test::WriteFile(session.settingsFilePath,
                    "FSPath=" + simFolder + "\r\nBackupPath=" + missingBackup + "\r\nnorbackup=1\r\nrebackup=1\r\n");

    EXPECT_EQ(CheckSettingsAndBackups(session, window), StartupOutcome::Continue);

    EXPECT_EQ(prompts.texts(), (Names{kFsxText, kBackupFolderText}));
    ASSERT_EQ(window.seen.size(), 2u);
    EXPECT_EQ(window.seen[0].fspath, "");
    EXPECT_EQ(window.seen[0].backuppath, missingBackup);
    EXPECT_EQ(window.seen[1].fspath, "");
    EXPECT_EQ(window.seen[1].backuppath, "");
}

TEST_F(StartupCheckTest, SimulatorIsFoundWhateverTheCaseOfItsProgramFile) {
    WriteSettings("1", "1", nullptr);
    std::filesystem::rename(simFolder + "/FSX.EXE", simFolder + "/fsx.exe");

    EXPECT_EQ(CheckSettingsAndBackups(session, window), StartupOutcome::Continue);

    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(window.seen.empty());
}

TEST_F(StartupCheckTest, PathsOfTheWrongKindAreInvalid) {
    struct Case {
        const char* name;
        std::function<void(StartupFixture&)> prepare;
        Names messages;
    };
    const Case cases[] = {
        {"a folder named FSX.EXE",
         [](StartupFixture& f) {
             std::filesystem::remove(f.simFolder + "/FSX.EXE");
             test::MakeDirs(f.simFolder + "/FSX.EXE");
         },
         {kFsxText}},
        {"a file as the backup folder",
         [](StartupFixture& f) {
             test::WriteFile(f.tmp / "backup.txt", "not a folder");
             test::WriteFile(f.session.settingsFilePath, "FSPath=" + f.simFolder + "\r\nBackupPath=" +
                                                             f.tmp / "backup.txt" + "\r\nnorbackup=1\r\nrebackup=1\r\n");
         },
         {kBackupFolderText}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartupFixture f;
        f.WriteSettings("1", "1", nullptr);
        c.prepare(f);

        EXPECT_EQ(CheckSettingsAndBackups(f.session, f.window), StartupOutcome::Continue);

        EXPECT_EQ(f.prompts.texts(), c.messages);
        EXPECT_EQ(f.window.seen.size(), 1u);
    }
}

TEST_F(StartupCheckTest, EmptySimulatorFolderIsInvalid) {
    test::WriteFile(session.settingsFilePath,
                    "FSPath=\r\nBackupPath=" + backupFolder + "\r\nnorbackup=1\r\nrebackup=1\r\n");

    EXPECT_EQ(CheckSettingsAndBackups(session, window), StartupOutcome::Continue);

    EXPECT_EQ(prompts.texts(), Names{kFsxText});
    EXPECT_EQ(window.seen.size(), 1u);
}

// The settings window proposed a backup folder that does not exist and was
// left without saving: the backup fails, which the history does not record as
// made, and the pass is marked done all the same.
TEST_F(StartupCheckTest, FailedFirstBackupIsNotRecordedButMarkedDone) {
    const std::string proposed = tmp / "proposed";
    test::WriteFile(session.settingsFilePath,
                    "FSPath=" + simFolder + "\r\nBackupPath=" + (tmp / "gone") + "\r\nrebackup=1\r\n");
    window.onOpen = [&] {
        settings.backuppath = proposed;
        return true;
    };
    Answer({true});

    EXPECT_EQ(CheckSettingsAndBackups(session, window), StartupOutcome::Continue);

    EXPECT_EQ(prompts.texts().size(), 3u);
    EXPECT_TRUE(FailureShown());
    EXPECT_FALSE(test::PathExists(proposed));
    EXPECT_TRUE(HistoryLines().empty());
    EXPECT_EQ(test::ReadFile(session.settingsFilePath), "FSPath=" + simFolder + "\r\nBackupPath=" + proposed +
                                                            "\r\nReadOverwrite=0\r\nnorbackup=1\r\nrebackup=1\r\n");
}

// A backup folder that cannot be written: every pass shows the failure and
// records nothing, and is marked done as the check marks every pass it ran.
TEST_F(StartupCheckTest, BackupIntoAFolderThatCannotBeWrittenIsNotRecorded) {
    struct Case {
        const char* name;
        const char* norbackup;
        const char* rebackup;
        Names questions;
        std::pair<std::string, std::string> saved;
    };
    const Case cases[] = {
        {"first backup", "", "1", {kFirstQuestion}, {"1", "1"}},
        {"incremental backup", "1", "0", {kIncrementalQuestion}, {"1", "1"}},
        {"both", "", "0", {kFirstQuestion, kIncrementalQuestion}, {"1", "1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartupFixture f;
        f.WriteSettings(c.norbackup, c.rebackup, nullptr);
        test::CopyFailingFileSystem unwritable(f.fs, f.backupFolder);
        Session session{unwritable, f.prompts, f.status, f.history, f.cfg, f.settings, f.appFolder,
                        f.session.settingsFilePath};
        session.backupSourceFolders = f.session.backupSourceFolders;
        for (std::size_t i = 0; i < c.questions.size(); ++i) f.prompts.answer(true);

        EXPECT_EQ(CheckSettingsAndBackups(session, f.window), StartupOutcome::Continue);

        const std::string failure =
            "Error copying backup files (not all files were copied)! You may want to try the Read-Only fix in the "
            "Settings screen, or make sure the backup folder specified in the Settings screen exists.";
        Names shown;
        for (const std::string& question : c.questions) shown.insert(shown.end(), {question, failure});
        EXPECT_EQ(f.prompts.texts(), shown);
        EXPECT_TRUE(f.HistoryLines().empty());
        EXPECT_EQ(f.BackupOf("a.bmp"), "old a");
        EXPECT_EQ(f.BackupOf("b.bmp"), "<none>");
        EXPECT_EQ(test::ReadFile(f.session.settingsFilePath), f.SavedSettings(c.saved.first, c.saved.second));
    }
}

TEST_F(StartupCheckTest, CancelledFirstBackupWritesNoHistoryButIsMarkedDone) {
    WriteSettings("", "0", nullptr);
    view.onEvents = [this](int pass) {
        if (pass == 1) status.RequestClose();
    };
    // Run the backup, confirm the cancel, then decline the incremental pass for this time.
    Answer({true, true, false, false});

    EXPECT_EQ(CheckSettingsAndBackups(session, window), StartupOutcome::Continue);

    EXPECT_EQ(prompts.texts(), (Names{kFirstQuestion, "Are you sure you want to cancel this action?",
                                      kIncrementalQuestion, kNeverAskRebackup}));
    EXPECT_TRUE(HistoryLines().empty());
    EXPECT_EQ(BackupOf("b.bmp"), "<none>");
    EXPECT_EQ(test::ReadFile(session.settingsFilePath), SavedSettings("1", "0"));
}

}  // namespace
}  // namespace vrx
