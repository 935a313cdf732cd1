#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BackupFixture.h"
#include "backup/BackupEngine.h"
#include "support/ReadFailingFileSystem.h"

namespace vrx {
namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

class BackupEngineTest : public ::testing::Test, protected test::BackupFixture {
protected:
    std::string Sim(const std::string& relative) const { return simFolder + "/" + relative; }
    std::string Bak(const std::string& relative) const { return backupFolder + "/" + relative; }
};

// Captions shown under the bar, blanks left out and repeats folded.
Names ShownCaptions(const test::ScriptedStatusView& view) {
    Names shown;
    for (const std::string& caption : view.captions) {
        if (!caption.empty() && caption != "#" && (shown.empty() || shown.back() != caption)) shown.push_back(caption);
    }
    return shown;
}

TEST_F(BackupEngineTest, CountOfOneProcessesNoEntryAndFinishes) {
    WriteList({"1", "a.bmp"});
    test::WriteFile(Sim("Texture/a.bmp"), "A");

    ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);

    EXPECT_EQ(test::ListNames(backupFolder), Names{});
    EXPECT_EQ(view.actionTexts, (Names{"Creating backup files...", "Backup action complete!"}));
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.pauses, std::vector<std::chrono::milliseconds>{1500ms});
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(status.IsOpen());
    EXPECT_FALSE(status.CancelRequested());
    EXPECT_TRUE(status.ClosingByProgram());
}

struct CountCase {
    const char* name;
    std::optional<Names> list;  // nullopt: no backup.lst at all
    Names copied;
    bool fails;
    bool windowShown;
};

TEST_F(BackupEngineTest, CountLineDecidesHowManyEntriesRun) {
    const CountCase cases[] = {
        {"count equals the lines after it", Names{"3", "a.bmp", "b.bmp", "c.bmp"}, {"a.bmp", "b.bmp"}, false, true},
        {"lines after the closing line", Names{"2", "a.bmp", "b.bmp", "c.bmp"}, {"a.bmp"}, false, true},
        {"spaces and a sign", Names{" +3 ", "a.bmp", "b.bmp", "end"}, {"a.bmp", "b.bmp"}, false, true},
        {"fewer lines than the count", Names{"4", "a.bmp", "b.bmp"}, {"a.bmp", "b.bmp"}, true, true},
        {"count zero", Names{"0", "a.bmp", "b.bmp"}, {"a.bmp", "b.bmp"}, true, true},
        {"count negative", Names{"-3", "a.bmp", "b.bmp", "c.bmp"}, {"a.bmp", "b.bmp", "c.bmp"}, true, true},
        {"most negative count", Names{"-2147483648", "a.bmp", "b.bmp"}, {}, true, true},
        {"count not a number", Names{"abc", "a.bmp", "b.bmp", "end"}, {}, true, false},
        {"count too large", Names{"2147483648", "a.bmp", "end"}, {}, true, false},
        {"count line only", Names{"1"}, {}, true, false},
        {"empty list", Names{}, {}, true, false},
        {"no list", std::nullopt, {}, true, false},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::BackupFixture f;
        for (const char* name : {"a", "b", "c"}) test::WriteFile(f.simFolder + "/Texture/" + name + ".bmp", name);
        if (c.list) {
            std::string bytes;
            for (const std::string& line : *c.list) bytes += line + "\r\n";
            test::WriteFile(f.appFolder + "/backup.lst", bytes);
        }

        ProcessBackupList(f.session, f.simFolder + "/Texture", f.backupFolder, "", false);

        EXPECT_EQ(test::ListNames(f.backupFolder), c.copied);
        for (const std::string& name : c.copied) {
            EXPECT_EQ(test::ReadFile(f.backupFolder + "/" + name), name.substr(0, 1));
        }
        EXPECT_EQ(f.FailureShown(), c.fails);
        EXPECT_EQ(f.prompts.shown.size(), c.fails ? 1u : 0u);
        EXPECT_EQ(f.view.beeps, c.fails ? 0 : 1);
        EXPECT_EQ(f.view.shows > 0, c.windowShown);
        EXPECT_FALSE(f.status.IsOpen());
        EXPECT_TRUE(f.status.ClosingByProgram());
        EXPECT_FALSE(f.status.CancelRequested());
    }
}

// With a count of 0 the bar stops before it lets events run, so the run's own pass is the only chance to cancel.
TEST_F(BackupEngineTest, RunWithoutAUsableCountCanStillBeCancelled) {
    WriteList({"0", "a.bmp", "b.bmp", "c.bmp"});
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) test::WriteFile(Sim(std::string("Texture/") + name), name);
    view.onEvents = [this](int pass) {
        if (pass == 1) status.RequestClose();
    };
    prompts.answer(true);

    ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);

    EXPECT_EQ(test::ListNames(backupFolder), Names{"a.bmp"});
    EXPECT_EQ(prompts.texts(), Names{"Are you sure you want to cancel this action?"});
    EXPECT_TRUE(status.CancelRequested());
    EXPECT_EQ(view.beeps, 0);
}

struct RunCase {
    BackupRun run;
    const char* caption;
    bool restoring;
};

TEST_F(BackupEngineTest, EachRunShowsItsCaptionScaleAndTargets) {
    const RunCase cases[] = {
        {BackupRun::CreateMain, "Creating backup files...", false},
        {BackupRun::CreateAlternate, "Creating alternate backup files...", false},
        {BackupRun::RestoreMain, "Restoring original backup files...", true},
        {BackupRun::RestoreAlternate, "Restoring alternate backup files...", true},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.caption);
        test::BackupFixture f;
        f.WriteList({"3", "a.bmp", "b.bmp", "end"});
        f.SetSlots({"Texture"});
        test::MakeDirs(f.simFolder + "/Texture");

        RunBackupFolderLoop(f.session, c.run);

        const std::string to = c.restoring ? f.simFolder + "/Texture" : f.backupFolder;
        ASSERT_FALSE(f.view.actionTexts.empty());
        EXPECT_EQ(f.view.actionTexts.front(), c.caption);
        EXPECT_EQ(f.view.actionTexts.back(), "Backup action complete!");
        EXPECT_EQ(f.status.Bar().scaleSize(), 2);
        EXPECT_EQ(f.status.Bar().scaleCaption(), to + "/a.bmp");
        EXPECT_EQ(ShownCaptions(f.view), (Names{to + "/a.bmp", to + "/b.bmp"}));
        EXPECT_TRUE(f.prompts.shown.empty());
    }
}

TEST_F(BackupEngineTest, MissingAndEmptySourcesArePassedOverSilently) {
    WriteList({"4", "missing.bmp", "empty.bmp", "a.bmp", "end"});
    test::WriteFile(Sim("Texture/empty.bmp"), "");
    test::WriteFile(Sim("Texture/a.bmp"), "A");

    ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);

    EXPECT_EQ(test::ListNames(backupFolder), Names{"a.bmp"});
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(view.beeps, 1);
}

TEST_F(BackupEngineTest, CreateWithSkipKeepsOnlyBackupsThatHoldData) {
    for (bool skip : {true, false}) {
        SCOPED_TRACE(skip ? "skip existing" : "write afresh");
        test::BackupFixture f;
        f.WriteList({"4", "a.bmp", "b.bmp", "c.bmp", "end"});
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
            test::WriteFile(f.simFolder + "/Texture/" + name, std::string("new ") + name);
        }
        test::WriteFile(f.backupFolder + "/a.bmp", "old a");
        test::WriteFile(f.backupFolder + "/b.bmp", "");
        f.session.skipExistingBackups = skip;

        ProcessBackupList(f.session, f.simFolder + "/Texture", f.backupFolder, "", false);

        EXPECT_EQ(test::ReadFile(f.backupFolder + "/a.bmp"), skip ? "old a" : "new a.bmp");
        EXPECT_EQ(test::ReadFile(f.backupFolder + "/b.bmp"), "new b.bmp");
        EXPECT_EQ(test::ReadFile(f.backupFolder + "/c.bmp"), "new c.bmp");
        EXPECT_TRUE(f.prompts.shown.empty());
    }
}

TEST_F(BackupEngineTest, KeptReadOnlyBackupIsStillMadeWritableByTheFix) {
    WriteList({"2", "a.bmp", "end"});
    test::WriteFile(Sim("Texture/a.bmp"), "new");
    test::WriteFile(Bak("a.bmp"), "old");
    SetAttributes(Bak("a.bmp"), AttrReadOnly);
    settings.readoverwrite = 1;
    session.skipExistingBackups = true;

    ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);

    EXPECT_EQ(test::ReadFile(Bak("a.bmp")), "old");
    EXPECT_EQ(fs.attributes(Bak("a.bmp")), 0u);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(BackupEngineTest, AlternateSetLivesBesideTheMainSetWithSuffix) {
    WriteList({"2", "x.bmp", "end"});
    test::WriteFile(Sim("Texture/x.bmp"), "installed");
    test::WriteFile(Bak("x.bmp"), "original");

    ProcessBackupList(session, Sim("Texture"), backupFolder, ".VRB", false);

    EXPECT_EQ(test::ListNames(backupFolder), (Names{"x.bmp", "x.bmp.VRB"}));
    EXPECT_EQ(test::ReadFile(Bak("x.bmp.VRB")), "installed");
    EXPECT_EQ(test::ReadFile(Bak("x.bmp")), "original");

    test::WriteFile(Sim("Texture/x.bmp"), "changed");
    ProcessBackupList(session, backupFolder, Sim("Texture"), ".VRB", true);

    EXPECT_EQ(test::ListNames(Sim("Texture")), Names{"x.bmp"});
    EXPECT_EQ(test::ReadFile(Sim("Texture/x.bmp")), "installed");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(BackupEngineTest, RestoreMainPassesOverAlternateEntries) {
    WriteList({"5", "a.bmp", "a.bmp.vrb", "b.bmp.VRB", "c.bmp", "end"});
    for (const char* name : {"a.bmp", "a.bmp.vrb", "b.bmp.VRB", "c.bmp"}) test::WriteFile(Bak(name), name);
    test::MakeDirs(Sim("Texture"));

    ProcessBackupList(session, backupFolder, Sim("Texture"), "", true);

    EXPECT_EQ(test::ListNames(Sim("Texture")), (Names{"a.bmp", "c.bmp"}));
    EXPECT_EQ(test::ReadFile(Sim("Texture/c.bmp")), "c.bmp");
    EXPECT_EQ(view.beeps, 1);
}

struct ReadOnlyCase {
    const char* name;
    BackupRun run;
    std::int16_t readoverwrite;
    std::uint32_t targetAttributes;
    const char* targetBytes;
    bool succeeds;
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os) {
    *os << c.name;
}

class BackupEngineReadOnly : public ::testing::TestWithParam<ReadOnlyCase>, protected test::BackupFixture {};

// The list is a.bmp then b.bmp; only b's target exists, with the case's
// attributes, so a failure shows after a has been copied.
TEST_P(BackupEngineReadOnly, FixClearsOnlyTheAttributesItsRunAllows) {
    const ReadOnlyCase& c = GetParam();
    const bool restoring = c.run == BackupRun::RestoreMain || c.run == BackupRun::RestoreAlternate;
    const std::string suffix =
        c.run == BackupRun::CreateAlternate || c.run == BackupRun::RestoreAlternate ? ".VRB" : "";
    const std::string sim = simFolder + "/Texture";
    const std::string from = restoring ? backupFolder : sim;
    const std::string to = restoring ? sim : backupFolder;
    const std::string fromSuffix = restoring ? suffix : "";
    const std::string toSuffix = restoring ? "" : suffix;
    WriteList({"3", "a.bmp", "b.bmp", "end"});
    SetSlots({"Texture"});
    settings.readoverwrite = c.readoverwrite;
    test::MakeDirs(sim);
    test::WriteFile(from + "/a.bmp" + fromSuffix, "new a");
    test::WriteFile(from + "/b.bmp" + fromSuffix, "new b");
    const std::string target = to + "/b.bmp" + toSuffix;
    test::WriteFile(target, c.targetBytes);
    SetAttributes(target, c.targetAttributes);

    RunBackupFolderLoop(session, c.run);

    EXPECT_EQ(test::ReadFile(to + "/a.bmp" + toSuffix), "new a");
    EXPECT_EQ(FailureShown(), !c.succeeds);
    if (c.succeeds) {
        EXPECT_EQ(test::ReadFile(target), "new b");
        EXPECT_EQ(view.beeps, 1);
    } else {
        EXPECT_EQ(test::ReadFile(target), c.targetBytes);
        EXPECT_EQ(fs.attributes(target), c.targetAttributes);
        EXPECT_EQ(view.beeps, 0);
        EXPECT_FALSE(status.IsOpen());
    }
}

constexpr std::uint32_t kReadOnlyArchive = AttrReadOnly | AttrArchive;

INSTANTIATE_TEST_SUITE_P(
    Runs, BackupEngineReadOnly,
    ::testing::Values(
        ReadOnlyCase{"CreateMainReadOnlyFixOn", BackupRun::CreateMain, 1, AttrReadOnly, "old", true},
        ReadOnlyCase{"CreateAltReadOnlyFixOn", BackupRun::CreateAlternate, 1, AttrReadOnly, "old", true},
        ReadOnlyCase{"RestoreMainReadOnlyFixOn", BackupRun::RestoreMain, 1, AttrReadOnly, "old", true},
        ReadOnlyCase{"RestoreAltReadOnlyFixOn", BackupRun::RestoreAlternate, 1, AttrReadOnly, "old", true},
        ReadOnlyCase{"RestoreAltReadOnlyArchiveFixOn", BackupRun::RestoreAlternate, 1, kReadOnlyArchive, "old", true},
        ReadOnlyCase{"RestoreAltHiddenFixOn", BackupRun::RestoreAlternate, 1, AttrHidden, "old", true},
        ReadOnlyCase{"CreateMainReadOnlyArchiveFixOn", BackupRun::CreateMain, 1, kReadOnlyArchive, "old", false},
        ReadOnlyCase{"CreateAltReadOnlyArchiveFixOn", BackupRun::CreateAlternate, 1, kReadOnlyArchive, "old", false},
        ReadOnlyCase{"RestoreMainReadOnlyArchiveFixOn", BackupRun::RestoreMain, 1, kReadOnlyArchive, "old", false},
        ReadOnlyCase{"RestoreMainHiddenFixOn", BackupRun::RestoreMain, 1, AttrHidden, "old", false},
        ReadOnlyCase{"CreateMainReadOnlyFixOff", BackupRun::CreateMain, 0, AttrReadOnly, "old", false},
        ReadOnlyCase{"RestoreAltReadOnlyFixOff", BackupRun::RestoreAlternate, 0, AttrReadOnly, "old", false},
        ReadOnlyCase{"RestoreMainReadOnlyFixMinusOne", BackupRun::RestoreMain, -1, AttrReadOnly, "old", false},
        ReadOnlyCase{"RestoreAltEmptyReadOnlyFixOn", BackupRun::RestoreAlternate, 1, AttrReadOnly, "", false},
        ReadOnlyCase{"CreateMainEmptyReadOnlyFixOn", BackupRun::CreateMain, 1, AttrReadOnly, "", false}),
    [](const ::testing::TestParamInfo<ReadOnlyCase>& info) { return std::string(info.param.name); });

// The settings window stays usable during a run, so each entry reads the
// read-only fix and SkipExistingBackups as they stand when its turn comes.
struct MidRunCase {
    const char* name;
    std::int16_t fixAtStart;
    std::int16_t fixDuringRun;
    bool skipAtStart;
    bool skipDuringRun;
    std::uint32_t backupAttributes;
    const char* backupAfter;
    bool fails;
};

TEST_F(BackupEngineTest, SettingsChangedDuringARunApplyToTheNextEntry) {
    const MidRunCase cases[] = {
        {"fix switched on", 0, 1, false, false, AttrReadOnly, "new", false},
        {"fix switched off", 1, 0, false, false, AttrReadOnly, "old", true},
        {"skip switched on", 0, 0, false, true, 0, "old", false},
        {"skip switched off", 0, 0, true, false, 0, "new", false},
    };
    for (const MidRunCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::BackupFixture f;
        f.WriteList({"2", "a.bmp", "end"});
        test::WriteFile(f.simFolder + "/Texture/a.bmp", "new");
        test::WriteFile(f.backupFolder + "/a.bmp", "old");
        f.SetAttributes(f.backupFolder + "/a.bmp", c.backupAttributes);
        f.settings.readoverwrite = c.fixAtStart;
        f.session.skipExistingBackups = c.skipAtStart;
        f.view.onEvents = [&](int) {
            f.settings.readoverwrite = c.fixDuringRun;
            f.session.skipExistingBackups = c.skipDuringRun;
        };

        ProcessBackupList(f.session, f.simFolder + "/Texture", f.backupFolder, "", false);

        EXPECT_EQ(test::ReadFile(f.backupFolder + "/a.bmp"), c.backupAfter);
        EXPECT_EQ(f.FailureShown(), c.fails);
    }
}

// Choosing other folders in the settings window while a run goes on changes
// nothing for that run: every entry and every slot keeps the folders it began with.
TEST_F(BackupEngineTest, FoldersChosenDuringARunApplyToTheNextAction) {
    for (const RunCase& c : {RunCase{BackupRun::CreateMain, "create main", false},
                             RunCase{BackupRun::CreateAlternate, "create alternate", false},
                             RunCase{BackupRun::RestoreMain, "restore main", true},
                             RunCase{BackupRun::RestoreAlternate, "restore alternate", true}}) {
        SCOPED_TRACE(c.caption);
        test::BackupFixture f;
        f.WriteList({"3", "a.bmp", "b.bmp", "end"});
        f.SetSlots({"Texture", "Scenery"});
        const std::string suffix =
            c.run == BackupRun::CreateAlternate || c.run == BackupRun::RestoreAlternate ? ".VRB" : "";
        for (const char* slot : {"Texture", "Scenery"}) {
            for (const char* name : {"a.bmp", "b.bmp"}) {
                test::WriteFile(f.simFolder + "/" + slot + "/" + name, "simulator");
                if (c.restoring) test::WriteFile(f.backupFolder + "/" + name + suffix, "backup");
            }
        }
        f.settings.fspath = f.simFolder;
        f.settings.backuppath = f.backupFolder;
        const std::string otherSim = f.tmp / "other-fsx";
        const std::string otherBackup = f.tmp / "other-backup";
        test::MakeDirs(otherSim + "/Texture");
        test::MakeDirs(otherSim + "/Scenery");
        test::MakeDirs(otherBackup);
        f.view.onEvents = [&](int) {
            f.settings.fspath = otherSim;
            f.settings.backuppath = otherBackup;
        };

        RunBackupFolderLoop(f.session, c.run);

        EXPECT_FALSE(f.FailureShown());
        EXPECT_TRUE(test::ListNames(otherBackup).empty());
        EXPECT_TRUE(test::ListNames(otherSim + "/Texture").empty());
        EXPECT_TRUE(test::ListNames(otherSim + "/Scenery").empty());
        for (const char* slot : {"Texture", "Scenery"}) {
            for (const char* name : {"a.bmp", "b.bmp"}) {
                if (c.restoring) {
                    EXPECT_EQ(test::ReadFile(f.simFolder + "/" + slot + "/" + name), "backup");
                } else {
                    EXPECT_EQ(test::ReadFile(f.backupFolder + "/" + name + suffix), "simulator");
                }
            }
        }
    }
}

// The bar and its caption name the entry before it is copied, so a failing
// copy leaves them on the failing entry.
TEST_F(BackupEngineTest, FailingCopyLeavesTheBarOnTheFailingEntry) {
    WriteList({"4", "a.bmp", "b.bmp", "c.bmp", "end"});
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) test::WriteFile(Sim(std::string("Texture/") + name), name);
    test::WriteFile(Bak("b.bmp"), "old b");
    SetAttributes(Bak("b.bmp"), AttrReadOnly);

    ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);

    EXPECT_TRUE(FailureShown());
    EXPECT_EQ(ShownCaptions(view), (Names{Bak("a.bmp"), Bak("b.bmp")}));
    EXPECT_EQ(status.Bar().caption(), Bak("b.bmp"));
    EXPECT_EQ(status.Bar().percentText(), "67%");
    EXPECT_EQ(test::ReadFile(Bak("b.bmp")), "old b");
    EXPECT_FALSE(test::PathExists(Bak("c.bmp")));
}

struct CutListCase {
    const char* name;
    std::size_t failingLine;
    Names copied;
};

// A read error part-way through backup.lst ends the run with its failure
// message; a line it cut off never counts, the closing line included.
TEST_F(BackupEngineTest, ListReadFailingPartWayEndsTheRunWithTheFailure) {
    const CutListCase cases[] = {
        {"within the count line", 1, {}},
        {"within the second entry", 3, {"a.bmp"}},
        {"within the closing line", 4, {"a.bmp", "b.bmp"}},
    };
    for (const CutListCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::BackupFixture f;
        f.WriteList({"3", "a.bmp", "b.bmp", "end"});
        for (const char* name : {"a.bmp", "b.bmp"}) test::WriteFile(f.simFolder + "/Texture/" + name, name);
        test::ReadFailingFileSystem failing(f.fs);
        failing.FailReadWithinLine(f.appFolder + "/backup.lst", c.failingLine);
        Session session{failing, f.prompts,  f.status,    f.history,
                        f.cfg,   f.settings, f.appFolder, f.session.settingsFilePath};

        ProcessBackupList(session, f.simFolder + "/Texture", f.backupFolder, "", false);

        EXPECT_EQ(test::ListNames(f.backupFolder), c.copied);
        EXPECT_TRUE(f.FailureShown());
        EXPECT_EQ(f.view.beeps, 0);
    }
}

TEST_F(BackupEngineTest, AListThatIsAPipeFailsTheRunInsteadOfHanging) {
    ASSERT_EQ(mkfifo((appFolder + "/backup.lst").c_str(), 0644), 0);
    test::WriteFile(Sim("Texture/a.bmp"), "A");
    // In a child that an alarm ends, so that waiting on the pipe fails instead of hanging.
    EXPECT_EXIT(
        {
            alarm(10);
            ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);
            _exit(FailureShown() && view.shows == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(test::ListNames(backupFolder), Names{});
}

TEST_F(BackupEngineTest, RunAfterACancelledOneStartsWithClearedFlags) {
    WriteList({"3", "a.bmp", "b.bmp", "end"});
    SetSlots({"Texture", "Scenery"});
    for (const char* slot : {"Texture", "Scenery"}) test::WriteFile(Sim(std::string(slot) + "/a.bmp"), slot);

    // A cancel left over from an earlier action does not stop a run that fails
    // before its window opens, so the loop goes on to the next folder.
    status.SetCancelRequested(true);
    settings.backuppath = tmp / "missing/backup";
    RunBackupFolderLoop(session, BackupRun::RestoreMain);
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(FailureShown());
    EXPECT_FALSE(status.CancelRequested());

    // After a completed run the close box still asks before it cancels.
    prompts.shown.clear();
    settings.backuppath = backupFolder;
    ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);
    ASSERT_TRUE(status.ClosingByProgram());
    view.onEvents = [this, first = view.eventPasses + 1](int pass) {
        if (pass == first) status.RequestClose();
    };
    prompts.answer(true);
    ProcessBackupList(session, Sim("Scenery"), backupFolder, "", false);
    EXPECT_EQ(prompts.texts(), Names{"Are you sure you want to cancel this action?"});
    EXPECT_TRUE(status.CancelRequested());
    EXPECT_EQ(view.beeps, 1);
}

TEST_F(BackupEngineTest, SimulatorFolderAndSlotJoinWithOneSeparator) {
    struct JoinCase {
        const char* name;
        const char* fspathTail;
        const char* slot;
    };
    const JoinCase cases[] = {
        {"plain", "", "Texture"},
        {"simulator folder with a trailing separator", "/", "Texture"},
        {"slot with a leading separator", "", "/Texture"},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::BackupFixture f;
        f.WriteList({"2", "a.bmp", "end"});
        f.SetSlots({c.slot});
        f.settings.fspath = f.simFolder + c.fspathTail;
        test::WriteFile(f.backupFolder + "/a.bmp", "bak");
        test::MakeDirs(f.simFolder + "/Texture");

        RunBackupFolderLoop(f.session, BackupRun::RestoreMain);

        EXPECT_EQ(ShownCaptions(f.view), Names{f.simFolder + "/Texture/a.bmp"});
        EXPECT_EQ(test::ReadFile(f.simFolder + "/Texture/a.bmp"), "bak");
    }
}

bool HoldsCopyTemporary(const std::string& folder) {
    for (const std::string& name : test::ListNames(folder)) {
        if (name.rfind(".vrx-copy-", 0) == 0) return true;
    }
    return false;
}

TEST_F(BackupEngineTest, LeftoversOfAnInterruptedCopyAreRemovedByTheNextRun) {
    WriteList({"2", "a.bmp", "end"});
    test::WriteFile(Sim("Texture/a.bmp"), "new");
    test::WriteFile(Bak("a.bmp"), "old");
    // The program dies between writing the copy and putting it in place.
    fs.setBeforeRenameHookForTesting([] { throw std::runtime_error("interrupted"); });
    EXPECT_THROW(ProcessBackupList(session, Sim("Texture"), backupFolder, "", false), std::runtime_error);
    ASSERT_TRUE(HoldsCopyTemporary(backupFolder));
    EXPECT_EQ(test::ReadFile(Bak("a.bmp")), "old");

    fs.setBeforeRenameHookForTesting(nullptr);
    test::WriteFile(Sim("Texture/b.bmp"), "unlisted");
    ProcessBackupList(session, Sim("Texture"), backupFolder, "", false);

    EXPECT_FALSE(HoldsCopyTemporary(backupFolder));
    EXPECT_EQ(test::ListNames(backupFolder), Names{"a.bmp"});
    EXPECT_EQ(test::ReadFile(Bak("a.bmp")), "new");
}

TEST_F(BackupEngineTest, MissingFromFolderIsCreatedWhenItsParentExists) {
    WriteList({"2", "a.bmp", "end"});

    ProcessBackupList(session, Sim("New"), backupFolder, "", false);

    EXPECT_TRUE(fs.isFolder(Sim("New")));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(view.actionTexts.back(), "Backup action complete!");
}

TEST_F(BackupEngineTest, FromFolderWithMissingParentFailsBeforeShowingTheWindow) {
    WriteList({"2", "a.bmp", "end"});

    ProcessBackupList(session, tmp / "none/New", backupFolder, "", false);

    EXPECT_FALSE(test::PathExists(tmp / "none"));
    EXPECT_TRUE(FailureShown());
    EXPECT_EQ(view.shows, 0);
    EXPECT_TRUE(status.ClosingByProgram());
}

// The simulator keeps its own spelling; the list and the catalogue may use another.
TEST_F(BackupEngineTest, NamesDifferingOnlyInCaseFindTheSimulatorsFiles) {
    WriteList({"2", "A.BMP", "end"});
    SetSlots({"texture"});
    test::WriteFile(Sim("Texture/a.bmp"), "original");

    RunBackupFolderLoop(session, BackupRun::CreateMain);

    EXPECT_EQ(test::ListNames(backupFolder), Names{"A.BMP"});
    EXPECT_EQ(test::ReadFile(Bak("A.BMP")), "original");
    EXPECT_EQ(test::ListNames(simFolder), Names{"Texture"});

    test::WriteFile(Sim("Texture/a.bmp"), "installed");
    RunBackupFolderLoop(session, BackupRun::RestoreMain);

    EXPECT_EQ(test::ListNames(Sim("Texture")), Names{"a.bmp"});
    EXPECT_EQ(test::ReadFile(Sim("Texture/a.bmp")), "original");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(BackupEngineTest, EntryClimbingOutOfItsFolderEndsTheRun) {
    for (bool restoring : {false, true}) {
        SCOPED_TRACE(restoring ? "restore" : "create");
        test::BackupFixture f;
        f.WriteList({"4", "a.bmp", "..\\outside.bmp", "b.bmp", "end"});
        const std::string sim = f.simFolder + "/Texture";
        const std::string from = restoring ? f.backupFolder : sim;
        const std::string to = restoring ? sim : f.backupFolder;
        test::MakeDirs(to);
        for (const char* name : {"a.bmp", "b.bmp"}) test::WriteFile(from + "/" + name, name);
        // What the climbing entry names on the source side; its target side must stay absent.
        test::WriteFile(from + "/../outside.bmp", "outside");
        const std::string escaped = to + "/../outside.bmp";
        ASSERT_FALSE(test::PathExists(escaped));

        ProcessBackupList(f.session, from, to, "", restoring);

        EXPECT_TRUE(f.FailureShown());
        EXPECT_EQ(test::ListNames(to), Names{"a.bmp"});
        EXPECT_FALSE(test::PathExists(escaped));
    }
}

TEST_F(BackupEngineTest, UnsetFoldersNeverReachTheRoot) {
    // Names no other program uses, so that their absence at the root means something.
    const std::string unique = "vrx-unset-" + tmp.path().substr(tmp.path().rfind('/') + 1);
    WriteList({"2", unique + ".bmp", "end"});
    SetSlots({unique});
    settings.fspath.clear();

    RunBackupFolderLoop(session, BackupRun::CreateMain);
    EXPECT_TRUE(FailureShown());
    EXPECT_FALSE(test::PathExists("/" + unique));

    prompts.shown.clear();
    settings.fspath = simFolder;
    settings.backuppath.clear();
    test::WriteFile(Sim(unique + "/" + unique + ".bmp"), "A");
    RunBackupFolderLoop(session, BackupRun::CreateMain);
    EXPECT_TRUE(FailureShown());
    EXPECT_FALSE(test::PathExists("/" + unique + ".bmp"));
}

// How a run and a folder loop end, which decides whether the action is recorded.
TEST_F(BackupEngineTest, RunsAndLoopsSayHowTheyEnded) {
    struct Case {
        const char* name;
        std::function<void(test::BackupFixture&)> prepare;
        RunOutcome first;  // the run over the first folder
        RunOutcome loop;   // the loop over both
    };
    const Case cases[] = {
        {"both folders copied", [](test::BackupFixture&) {}, RunOutcome::Completed, RunOutcome::Completed},
        {"first folder fails, second copied",
         [](test::BackupFixture& f) { f.SetAttributes(f.backupFolder + "/a.bmp", AttrReadOnly); },
         RunOutcome::Failed, RunOutcome::Failed},
        {"cancelled in the first folder",
         [](test::BackupFixture& f) {
             f.view.onEvents = [&f](int pass) {
                 if (pass == 1) f.status.RequestClose();
             };
             f.prompts.answer(true);
         },
         RunOutcome::Cancelled, RunOutcome::Cancelled},
        {"no backup list", [](test::BackupFixture& f) { std::filesystem::remove(f.appFolder + "/backup.lst"); },
         RunOutcome::Failed, RunOutcome::Failed},
    };
    for (const bool wholeLoop : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (wholeLoop ? ", loop" : ", first run"));
            test::BackupFixture f;
            f.WriteList({"2", "a.bmp", "end"});
            f.SetSlots({"Texture", "Scenery"});
            test::WriteFile(f.simFolder + "/Texture/a.bmp", "texture a");
            test::WriteFile(f.simFolder + "/Scenery/a.bmp", "scenery a");
            test::WriteFile(f.backupFolder + "/a.bmp", "old a");
            c.prepare(f);

            if (wholeLoop) {
                EXPECT_EQ(RunBackupFolderLoop(f.session, BackupRun::CreateMain), c.loop);
            } else {
                EXPECT_EQ(ProcessBackupList(f.session, f.simFolder + "/Texture", f.backupFolder, "", false), c.first);
            }
        }
    }
}

}  // namespace
}  // namespace vrx
