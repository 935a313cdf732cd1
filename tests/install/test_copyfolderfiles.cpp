#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "install/CopyFolderFiles.h"
#include "install/SessionRig.h"
#include "platform/FileSystem.h"
#include "support/ForwardingFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ForwardingFileSystem;
using test::ListNames;
using test::MakeDirs;
using test::PathExists;
using test::ReadFile;
using test::SessionRig;
using test::ShownPrompt;
using test::WriteFile;

// One source and one target folder inside a fresh session.
struct CopyRig : SessionRig {
    std::string from = dir / "app/Textures/North";
    std::string to = dir / "fsx/Texture";

    CopyRig() {
        MakeDirs(from);
        MakeDirs(to);
    }
    void Run() { CopyFolderFiles(session, from, to); }
    void Run(const std::string& target) { CopyFolderFiles(session, from, target); }
    // The order in which the engine meets the files: the platform's listing order.
    std::vector<std::string> SourceOrder() { return fs.listOrdinaryFiles(from).value(); }
};

// The failure path: its one message, the flag for closing without a question, the window gone.
void ExpectFailurePath(const CopyRig& rig) {
    ASSERT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_EQ(rig.prompts.shown[0].kind, ShownPrompt::Message);
    EXPECT_EQ(rig.prompts.shown[0].text,
              "Error copying files (not all files were copied)! You may want to try the Read-Only fix in the "
              "Settings screen.");
    EXPECT_EQ(rig.prompts.shown[0].title, "Verdantis");
    EXPECT_TRUE(rig.status.ClosingByProgram());
    EXPECT_FALSE(rig.status.IsOpen());
    EXPECT_FALSE(rig.view.visible);
}

TEST(CopyFolderFiles, CaptionsAndPercentagesFollowEachCopiedFile) {
    CopyRig rig;
    WriteFile(rig.from + "/a.dds", "A1");
    WriteFile(rig.from + "/b.dds", "B22");
    WriteFile(rig.from + "/c.dds", "C333");
    const auto order = rig.SourceOrder();
    ASSERT_EQ(order.size(), 3u);

    rig.Run();

    std::vector<std::string> captions{""};
    for (const auto& name : order) captions.push_back(rig.to + "/" + name);
    EXPECT_EQ(rig.view.captions, captions);
    // Creation texts, the emptied bar, then one value per copied file.
    EXPECT_EQ(rig.view.percents, (std::vector<std::string>{"#", "", "33%", "67%", "100%"}));
    EXPECT_EQ(rig.view.actionTexts, std::vector<std::string>{"Copying Verdantis files..."});
    EXPECT_EQ(rig.view.eventPasses, 6);  // once before each file, once in each Progress
    EXPECT_EQ(rig.status.Bar().scaleSize(), 3);
    EXPECT_EQ(ReadFile(rig.to + "/a.dds"), "A1");
    EXPECT_EQ(ReadFile(rig.to + "/b.dds"), "B22");
    EXPECT_EQ(ReadFile(rig.to + "/c.dds"), "C333");
    EXPECT_TRUE(rig.prompts.shown.empty());
    EXPECT_TRUE(rig.status.IsOpen());  // left for the caller's FinishRun
    EXPECT_FALSE(rig.status.ClosingByProgram());
    EXPECT_FALSE(rig.status.CancelRequested());
}

TEST(CopyFolderFiles, SubfoldersAreNeitherEnteredNorCreated) {
    CopyRig rig;
    WriteFile(rig.from + "/a.dds", "A");
    WriteFile(rig.from + "/Sub/inner.dds", "I");

    rig.Run();

    EXPECT_EQ(ListNames(rig.to), std::vector<std::string>{"a.dds"});
    EXPECT_EQ(rig.view.percents.back(), "100%");
    EXPECT_TRUE(rig.prompts.shown.empty());
}

struct FixCase {
    const char* name;
    std::int16_t readoverwrite;
    std::string targetBytes;
    std::uint32_t targetAttributes;
    bool copies;
};

// Three files; the target of the second one in copy order already exists.
TEST(CopyFolderFiles, ReadOnlyFixDecidesWhetherAProtectedTargetIsReplaced) {
    const FixCase cases[] = {
        {"ReadOnlyFixOn", 1, "old", AttrReadOnly, true},
        {"ReadOnlyFixOff", 0, "old", AttrReadOnly, false},
        {"ReadOnlyFixMinusOne", -1, "old", AttrReadOnly, false},
        {"ReadOnlyEmptyFixOn", 1, "", AttrReadOnly, false},
        {"HiddenFixOn", 1, "old", AttrHidden, true},
        {"HiddenFixOff", 0, "old", AttrHidden, false},
        {"ArchiveFixOff", 0, "old", AttrArchive, true},
        {"PlainFixOff", 0, "old", 0, true},
    };
    for (const FixCase& c : cases) {
        SCOPED_TRACE(c.name);
        CopyRig rig;
        rig.settings.readoverwrite = c.readoverwrite;
        WriteFile(rig.from + "/a.dds", "new-a");
        WriteFile(rig.from + "/b.dds", "new-b");
        WriteFile(rig.from + "/c.dds", "new-c");
        const auto order = rig.SourceOrder();
        ASSERT_EQ(order.size(), 3u);
        const std::string victim = rig.to + "/" + order[1];
        WriteFile(victim, c.targetBytes);
        ASSERT_TRUE(rig.fs.setAttributes(victim, c.targetAttributes));
        const auto before = rig.fs.attributes(victim);

        rig.Run();

        EXPECT_EQ(ReadFile(rig.to + "/" + order[0]), "new-" + order[0].substr(0, 1));
        if (c.copies) {
            EXPECT_TRUE(rig.prompts.shown.empty());
            EXPECT_EQ(ReadFile(victim), "new-" + order[1].substr(0, 1));
            EXPECT_EQ(rig.fs.attributes(victim), rig.fs.attributes(rig.from + "/" + order[1]));
            EXPECT_EQ(ReadFile(rig.to + "/" + order[2]), "new-" + order[2].substr(0, 1));
            EXPECT_TRUE(rig.status.IsOpen());
            EXPECT_FALSE(rig.status.ClosingByProgram());
        } else {
            ExpectFailurePath(rig);
            EXPECT_EQ(ReadFile(victim), c.targetBytes);  // whole, with its old bytes
            EXPECT_EQ(rig.fs.attributes(victim), before);
            EXPECT_FALSE(PathExists(rig.to + "/" + order[2]));
        }
    }
}

struct ResetCase {
    const char* name;
    std::int16_t readoverwrite;
    std::string targetBytes;
    std::uint32_t targetAttributes;
    bool reset;
};

// The source vanishes just before its copy, so the copy fails and the target
// keeps whatever the read-only fix did to it.
TEST(CopyFolderFiles, ReadOnlyFixClearsEveryBitOfATargetWithData) {
    const ResetCase cases[] = {
        {"ReadOnlyFixOn", 1, "old", AttrReadOnly, true},
        {"ArchiveOnlyFixOn", 1, "old", AttrArchive, true},
        {"ReadOnlyArchiveFixOn", 1, "old", AttrReadOnly | AttrArchive, true},
        {"ReadOnlyEmptyFixOn", 1, "", AttrReadOnly, false},
        {"ReadOnlyFixOff", 0, "old", AttrReadOnly, false},
        {"ArchiveFixMinusOne", -1, "old", AttrArchive, false},
        {"ReadOnlyFixTwo", 2, "old", AttrReadOnly, false},
    };
    for (const ResetCase& c : cases) {
        SCOPED_TRACE(c.name);
        CopyRig rig;
        rig.settings.readoverwrite = c.readoverwrite;
        WriteFile(rig.from + "/a.dds", "new");
        const std::string target = rig.to + "/a.dds";
        WriteFile(target, c.targetBytes);
        ASSERT_TRUE(rig.fs.setAttributes(target, c.targetAttributes));
        const auto before = rig.fs.attributes(target);
        ASSERT_TRUE(before.has_value());
        ASSERT_NE(*before, 0u);
        rig.view.onEvents = [&](int pass) {
            if (pass == 1) std::filesystem::remove(rig.from + "/a.dds");
        };

        rig.Run();

        ExpectFailurePath(rig);
        EXPECT_EQ(ReadFile(target), c.targetBytes);
        EXPECT_EQ(rig.fs.attributes(target), c.reset ? std::uint32_t{0} : *before);
    }
}

struct EmptySourceCase {
    const char* name;
    std::function<void(CopyRig&)> fill;
};

TEST(CopyFolderFiles, SourceWithoutOrdinaryFilesTakesTheFailurePath) {
    const EmptySourceCase cases[] = {
        {"Empty", [](CopyRig&) {}},
        {"OnlySubfolder", [](CopyRig& r) { WriteFile(r.from + "/Sub/a.dds", "A"); }},
        {"OnlyHiddenFile",
         [](CopyRig& r) {
             WriteFile(r.from + "/a.dds", "A");
             ASSERT_TRUE(r.fs.setAttributes(r.from + "/a.dds", AttrHidden));
         }},
        {"OnlySystemFile",
         [](CopyRig& r) {
             WriteFile(r.from + "/a.dds", "A");
             ASSERT_TRUE(r.fs.setAttributes(r.from + "/a.dds", AttrSystem));
         }},
        {"SourceIsAFile",
         [](CopyRig& r) {
             std::filesystem::remove(r.from);
             WriteFile(r.from, "A");
         }},
    };
    for (const EmptySourceCase& c : cases) {
        for (const bool openBefore : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (openBefore ? " window open" : " window closed"));
            CopyRig rig;
            c.fill(rig);
            if (openBefore) rig.status.Open();  // left open by an earlier area's run

            rig.Run();

            ExpectFailurePath(rig);
            EXPECT_EQ(rig.view.shows, openBefore ? 1 : 0);  // this call never opens it
            EXPECT_TRUE(ListNames(rig.to).empty());
        }
    }
}

TEST(CopyFolderFiles, UnsetTargetFolderTakesTheFailurePathBeforeAnyCopy) {
    CopyRig rig;
    WriteFile(rig.from + "/a.dds", "A");

    rig.Run("");

    ExpectFailurePath(rig);
    EXPECT_EQ(rig.view.shows, 0);
}

// The engine reports a file after copying it, so a failing copy leaves the
// bar and its caption on the last file copied.
TEST(CopyFolderFiles, FailingCopyLeavesTheBarOnTheLastCopiedFile) {
    CopyRig rig;
    for (const char* name : {"a.dds", "b.dds", "c.dds"}) WriteFile(rig.from + "/" + name, name);
    const std::vector<std::string> order = rig.SourceOrder();
    ASSERT_EQ(order.size(), 3u);
    WriteFile(rig.to + "/" + order[1], "old");
    ASSERT_TRUE(rig.fs.setAttributes(rig.to + "/" + order[1], AttrReadOnly));

    rig.Run();

    ExpectFailurePath(rig);
    EXPECT_EQ(rig.view.captions, (std::vector<std::string>{"", rig.to + "/" + order[0]}));
    EXPECT_EQ(rig.status.Bar().caption(), rig.to + "/" + order[0]);
    EXPECT_EQ(rig.status.Bar().percentText(), "33%");
    EXPECT_EQ(ReadFile(rig.to + "/" + order[1]), "old");
    EXPECT_FALSE(PathExists(rig.to + "/" + order[2]));
}

TEST(CopyFolderFiles, MissingSourceOnlySaysSo) {
    CopyRig rig;
    rig.status.SetClosingByProgram(true);
    // The target is missing too: only the source is reported.
    CopyFolderFiles(rig.session, rig.dir / "app/Textures/Nowhere", rig.dir / "fsx/Nowhere");

    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Source path does not exist."});
    EXPECT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_FALSE(rig.status.ClosingByProgram());
    EXPECT_EQ(rig.view.shows, 0);
}

TEST(CopyFolderFiles, MissingTargetFolderIsReportedBeforeAnyCopy) {
    CopyRig rig;
    WriteFile(rig.from + "/a.dds", "A");
    rig.Run(rig.dir / "fsx/Scenery/World/Texture");

    EXPECT_EQ(rig.Messages(),
              std::vector<std::string>{
                  "There was an error detecting a required texture folder in Flight Simulator. It could be that an "
                  "add-on product does not exist in Flight Simulator. Please check the selected Verdantis texture "
                  "options and verify any installed add-ons."});
    EXPECT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_FALSE(rig.status.ClosingByProgram());
    EXPECT_EQ(rig.view.shows, 0);
    EXPECT_FALSE(PathExists(rig.dir / "fsx/Scenery"));
}

TEST(CopyFolderFiles, TargetThatIsAFilePassesTheCheckThenFails) {
    CopyRig rig;
    WriteFile(rig.from + "/a.dds", "A");
    const std::string fileAsFolder = rig.dir / "fsx/Texture.bin";
    WriteFile(fileAsFolder, "X");

    rig.Run(fileAsFolder);

    ExpectFailurePath(rig);
    EXPECT_EQ(rig.view.shows, 1);  // the run started before the copy failed
    EXPECT_EQ(ReadFile(fileAsFolder), "X");
}

struct CancelCase {
    int clickAtPass;  // passes 2n-1 come before file n, passes 2n inside its Progress
    std::size_t copied;
    std::string lastPercent;
};

TEST(CopyFolderFiles, ConfirmedCancelStopsBeforeTheNextFile) {
    const CancelCase cases[] = {
        {1, 1, ""}, {2, 1, "33%"}, {3, 2, "33%"}, {4, 2, "67%"}, {6, 3, "100%"},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE("click at pass " + std::to_string(c.clickAtPass));
        CopyRig rig;
        WriteFile(rig.from + "/a.dds", "A");
        WriteFile(rig.from + "/b.dds", "B");
        WriteFile(rig.from + "/c.dds", "C");
        rig.prompts.answer(true);
        rig.view.onEvents = [&](int pass) {
            if (pass == c.clickAtPass) rig.status.RequestClose();
        };

        rig.Run();

        // The file whose turn had begun is still copied; none after it.
        EXPECT_EQ(ListNames(rig.to).size(), c.copied);
        // Progress after the close neither redraws nor reopens the window.
        EXPECT_EQ(rig.view.percents.back(), c.lastPercent);
        EXPECT_EQ(rig.view.shows, 1);
        EXPECT_FALSE(rig.status.IsOpen());
        EXPECT_TRUE(rig.status.CancelRequested());
        EXPECT_FALSE(rig.status.ClosingByProgram());
        EXPECT_TRUE(rig.Messages().empty());
    }
}

// Once the source folder has been listed for the first time, something else
// changes it: the test's change runs.
class ChangedAfterFirstListing final : public ForwardingFileSystem {
public:
    ChangedAfterFirstListing(FileSystem& real, std::function<void()> change)
        : ForwardingFileSystem(real), change_(std::move(change)) {}

    std::optional<std::vector<std::string>> listOrdinaryFiles(const std::string& folder) override {
        auto names = real_.listOrdinaryFiles(folder);
        if (change_) std::exchange(change_, nullptr)();
        return names;
    }

private:
    std::function<void()> change_;
};

// Right after the read-only fix has looked at one target, something else changes it.
class ChangedAfterTheFixLooked final : public ForwardingFileSystem {
public:
    ChangedAfterTheFixLooked(FileSystem& real, std::string target, std::function<void()> change)
        : ForwardingFileSystem(real), target_(std::move(target)), change_(std::move(change)) {}

    DataFileAttributes attributesIfData(const std::string& path) override {
        const DataFileAttributes look = real_.attributesIfData(path);
        if (path == target_ && change_) std::exchange(change_, nullptr)();
        return look;
    }

private:
    std::string target_;
    std::function<void()> change_;
};

// Between the count and the listing of the files to copy, two files are
// added and one is replaced by a hidden file. The bar's scale stays the
// count; the listing decides what is copied, looking afresh at the file replaced.
TEST(CopyFolderFiles, TheScaleIsTheFirstCountAndTheListingAfterItDecidesWhatIsCopied) {
    CopyRig rig;
    for (const char* name : {"a.dds", "b.dds", "c.dds"}) WriteFile(rig.from + "/" + name, name);
    ChangedAfterFirstListing fs(rig.fs, [&] {
        WriteFile(rig.from + "/d.dds", "d.dds");
        WriteFile(rig.from + "/e.dds", "e.dds");
        WriteFile(rig.dir / "hidden.dds", "hidden");
        ASSERT_TRUE(rig.fs.setAttributes(rig.dir / "hidden.dds", AttrHidden));
        std::filesystem::rename(rig.dir / "hidden.dds", rig.from + "/c.dds");
    });
    Session session{fs,      rig.prompts,  rig.status,    rig.history,
                    rig.cfg, rig.settings, rig.appFolder, rig.session.settingsFilePath};

    CopyFolderFiles(session, rig.from, rig.to);

    EXPECT_TRUE(rig.prompts.shown.empty());
    EXPECT_EQ(rig.status.Bar().scaleSize(), 3);
    EXPECT_EQ(ListNames(rig.to), (std::vector<std::string>{"a.dds", "b.dds", "d.dds", "e.dds"}));
    // Four files on a scale of three: the bar stays full once the count is reached.
    EXPECT_EQ(rig.view.percents, (std::vector<std::string>{"#", "", "33%", "67%", "100%", "100%"}));
    EXPECT_TRUE(rig.status.IsOpen());
}

struct LateChangeCase {
    const char* name;
    std::function<void(CopyRig&, const std::string&)> change;
    std::uint32_t attributesAfter;  // of the target as the change left it, which the copy keeps
};

// The read-only fix looks at a target once, and the copy looks again just
// before replacing it: a target protected after the fix found it plain is
// refused, whole and as the change left it, and nothing after it is copied.
TEST(CopyFolderFiles, ATargetProtectedAfterTheReadOnlyFixLookedIsStillRefused) {
    const LateChangeCase cases[] = {
        {"MadeReadOnly",
         [](CopyRig&, const std::string& target) {
             std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                                      std::filesystem::perms::group_read |
                                                      std::filesystem::perms::others_read);
         },
         1},
        {"MadeHidden", [](CopyRig& r, const std::string& target) { ASSERT_TRUE(r.fs.setAttributes(target, 2)); }, 2},
        {"ReplacedByAFolder",
         [](CopyRig&, const std::string& target) {
             std::filesystem::remove(target);
             std::filesystem::create_directory(target);
         },
         16},
    };
    for (const LateChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CopyRig rig;
        rig.settings.readoverwrite = 1;
        for (const char* name : {"a.dds", "b.dds", "c.dds"})
            WriteFile(rig.from + "/" + name, std::string("new-") + name);
        const auto order = rig.SourceOrder();
        ASSERT_EQ(order.size(), 3u);
        const std::string victim = rig.to + "/" + order[1];
        WriteFile(victim, "old");
        ChangedAfterTheFixLooked fs(rig.fs, victim, [&] { c.change(rig, victim); });
        Session session{fs,      rig.prompts,  rig.status,    rig.history,
                        rig.cfg, rig.settings, rig.appFolder, rig.session.settingsFilePath};

        CopyFolderFiles(session, rig.from, rig.to);

        ExpectFailurePath(rig);
        EXPECT_EQ(ReadFile(rig.to + "/" + order[0]), "new-" + order[0]);
        EXPECT_EQ(rig.fs.attributes(victim), c.attributesAfter);
        if (c.attributesAfter != 16) {
            EXPECT_EQ(ReadFile(victim), "old");
        }
        EXPECT_FALSE(PathExists(rig.to + "/" + order[2]));
    }
}

// Runs a copy of from over to in a child that is killed just before the
// complete file takes the target's place.
void CopyKilledBeforeReplacing(const std::string& from, const std::string& to) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        LinuxFileSystem fs;
        fs.setBeforeRenameHookForTesting([] { _exit(0); });
        fs.copyFile(from, to);
        _exit(1);
    }
    int waitStatus = 0;
    ASSERT_EQ(waitpid(child, &waitStatus, 0), child);
    ASSERT_TRUE(WIFEXITED(waitStatus));
    ASSERT_EQ(WEXITSTATUS(waitStatus), 0);
}

TEST(CopyFolderFiles, RemovesTemporariesOfAnInterruptedEarlierCopy) {
    CopyRig rig;
    WriteFile(rig.from + "/a.dds", "new");
    WriteFile(rig.to + "/a.dds", "old");

    CopyKilledBeforeReplacing(rig.from + "/a.dds", rig.to + "/a.dds");
    ASSERT_EQ(ReadFile(rig.to + "/a.dds"), "old");
    ASSERT_EQ(ListNames(rig.to).size(), 2u);  // the target and the temporary left behind

    rig.Run();

    EXPECT_EQ(ListNames(rig.to), std::vector<std::string>{"a.dds"});
    EXPECT_EQ(ReadFile(rig.to + "/a.dds"), "new");
}

TEST(CopyFolderFiles, AnInterruptedCopyToANewNameLeavesNothingBehind) {
    CopyRig rig;
    WriteFile(rig.from + "/a.dds", "new");

    CopyKilledBeforeReplacing(rig.from + "/a.dds", rig.to + "/a.dds");
    EXPECT_TRUE(ListNames(rig.to).empty());
}

}  // namespace
}  // namespace vrx
