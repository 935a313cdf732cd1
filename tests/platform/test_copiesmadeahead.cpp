// Copies announced by a run are made ahead by workers into unnamed files;
// the run's thread looks at each target when its turn comes. These tests
// change targets and sources after a copy was made ahead and check that the
// run still sees it, as a run without workers would.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "PlatformFiles.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ListNames;
using test::MakeDirs;
using test::ModeOf;
using test::ModifiedOf;
using test::RawDosAttrib;
using test::ReadFile;
using test::SetMode;
using test::SetModified;
using test::SetRawDosAttrib;
using test::WriteFile;

int OpenUnnamed(const std::string& folder, mode_t mode) {
    return ::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, mode);
}

struct AheadRig {
    test::TempDir dir;
    LinuxFileSystem fs;
    std::string src = dir / "src";
    std::string fsx = dir / "fsx";
    // Unnamed files opened by workers (not by the run's thread).
    std::atomic<int> madeByWorkers{0};
    const std::thread::id runThread = std::this_thread::get_id();

    AheadRig() {
        MakeDirs(src);
        MakeDirs(fsx);
        fs.setOpenUnnamedForTesting([this](const std::string& folder, mode_t mode) {
            if (std::this_thread::get_id() != runThread) ++madeByWorkers;
            return OpenUnnamed(folder, mode);
        });
    }

    // Copies names in one announced run; the results in order.
    std::vector<bool> Run(const std::vector<std::string>& names) {
        fs.beginCopyRun();
        std::vector<ExpectedCopy> expected;
        for (const auto& name : names) expected.push_back({src + "/" + name, fsx + "/" + name});
        fs.expectCopies(expected);
        // Gives the workers time to make every copy before the first is asked for.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (afterMade) afterMade();
        std::vector<bool> results;
        for (const auto& name : names) results.push_back(fs.copyFile(src + "/" + name, fsx + "/" + name).ok);
        fs.endCopyRun();
        return results;
    }
    std::function<void()> afterMade;
};

TEST(CopiesMadeAhead, LandWholeWithTheSourcesTimeModeAndAttributes) {
    AheadRig rig;
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "tex" + std::to_string(i) + ".bmp";
        names.push_back(name);
        WriteFile(rig.src + "/" + name, std::string(1000 + i, static_cast<char>('a' + i % 26)));
        SetModified(rig.src + "/" + name, 1'600'000'000 + i, 123'456'789);
    }
    SetMode(rig.src + "/tex3.bmp", 0444);
    SetRawDosAttrib(rig.src + "/tex5.bmp", "0x20");

    const std::vector<bool> results = rig.Run(names);

    EXPECT_EQ(results, std::vector<bool>(40, true));
    EXPECT_GT(rig.madeByWorkers.load(), 0) << "no copy was made ahead";
    EXPECT_EQ(ListNames(rig.fsx).size(), 40u);
    for (int i = 0; i < 40; ++i) {
        const std::string target = rig.fsx + "/" + names[static_cast<std::size_t>(i)];
        EXPECT_EQ(ReadFile(target), std::string(1000 + i, static_cast<char>('a' + i % 26)));
        EXPECT_EQ(ModifiedOf(target).tv_sec, 1'600'000'000 + i);
        EXPECT_EQ(ModifiedOf(target).tv_nsec, 123'456'789);
    }
    EXPECT_EQ(ModeOf(rig.fsx + "/tex3.bmp") & 0222, 0u);
    EXPECT_EQ(RawDosAttrib(rig.fsx + "/tex5.bmp"), std::optional<std::string>("0x20"));
    EXPECT_EQ(RawDosAttrib(rig.fsx + "/tex6.bmp"), std::nullopt);
}

TEST(CopiesMadeAhead, ATargetThatAppearsAfterItsCopyWasMadeIsStillChecked) {
    struct Case {
        const char* what;
        std::function<void(const std::string& target, const std::string& outside)> put;
        bool copied;
    };
    const Case cases[] = {
        {"a plain file: replaced", [](const std::string& t, const std::string&) { WriteFile(t, "theirs"); }, true},
        {"a read-only file: refused",
         [](const std::string& t, const std::string&) {
             WriteFile(t, "theirs");
             SetMode(t, 0444);
         },
         false},
        {"a hidden file: refused",
         [](const std::string& t, const std::string&) {
             WriteFile(t, "theirs");
             SetRawDosAttrib(t, "0x2");
         },
         false},
        {"a folder: refused", [](const std::string& t, const std::string&) { MakeDirs(t); }, false},
        {"a link: the link replaced",
         [](const std::string& t, const std::string& outside) { std::filesystem::create_symlink(outside, t); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AheadRig rig;
        const std::string outside = rig.dir / "outside.bmp";
        WriteFile(outside, "outside");
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            WriteFile(rig.src + "/" + name, std::string("new ") + name);
        rig.afterMade = [&] { c.put(rig.fsx + "/b.bmp", outside); };

        const std::vector<bool> results = rig.Run({"a.bmp", "b.bmp", "c.bmp"});

        EXPECT_GT(rig.madeByWorkers.load(), 0);
        EXPECT_EQ(results, (std::vector<bool>{true, c.copied, true}));
        EXPECT_EQ(ReadFile(rig.fsx + "/a.bmp"), "new a.bmp");
        EXPECT_EQ(ReadFile(rig.fsx + "/c.bmp"), "new c.bmp");
        if (c.copied) {
            EXPECT_EQ(ReadFile(rig.fsx + "/b.bmp"), "new b.bmp");
            EXPECT_FALSE(std::filesystem::is_symlink(rig.fsx + "/b.bmp"));
        } else if (!std::filesystem::is_directory(rig.fsx + "/b.bmp")) {
            EXPECT_EQ(ReadFile(rig.fsx + "/b.bmp"), "theirs");
        }
        EXPECT_EQ(ReadFile(outside), "outside");
        EXPECT_EQ(ListNames(rig.fsx), (std::vector<std::string>{"a.bmp", "b.bmp", "c.bmp"}));
    }
}

TEST(CopiesMadeAhead, ASourceThatIsALinkIntoTheTargetFolderReadsWhatTheRunWroteBeforeIt) {
    // c is new, a replaces an older file, and b's source is a link to the
    // target a: in a run without workers b gets a's new bytes, so it must here.
    AheadRig rig;
    WriteFile(rig.src + "/c.bmp", "new c");
    WriteFile(rig.src + "/a.bmp", "new a");
    WriteFile(rig.fsx + "/a.bmp", "old a");
    std::filesystem::create_symlink(rig.fsx + "/a.bmp", rig.src + "/b.bmp");

    const std::vector<bool> results = rig.Run({"c.bmp", "a.bmp", "b.bmp"});

    EXPECT_EQ(results, (std::vector<bool>{true, true, true}));
    EXPECT_GT(rig.madeByWorkers.load(), 0);
    EXPECT_EQ(ReadFile(rig.fsx + "/a.bmp"), "new a");
    EXPECT_EQ(ReadFile(rig.fsx + "/b.bmp"), "new a");
}

TEST(CopiesMadeAhead, ARunThatStopsEarlyLeavesNoTraceOfTheCopiesMadeForLater) {
    AheadRig rig;
    std::vector<ExpectedCopy> expected;
    for (int i = 0; i < 30; ++i) {
        const std::string name = "t" + std::to_string(i) + ".bmp";
        WriteFile(rig.src + "/" + name, "new");
        expected.push_back({rig.src + "/" + name, rig.fsx + "/" + name});
    }
    rig.fs.beginCopyRun();
    rig.fs.expectCopies(expected);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(rig.fs.copyFile(expected[0].from, expected[0].to).ok);
    // A copy the plan does not hold, and one that skips ahead.
    WriteFile(rig.src + "/extra.bmp", "extra");
    ASSERT_TRUE(rig.fs.copyFile(rig.src + "/extra.bmp", rig.fsx + "/extra.bmp").ok);
    ASSERT_TRUE(rig.fs.copyFile(expected[5].from, expected[5].to).ok);
    rig.fs.endCopyRun();

    EXPECT_GT(rig.madeByWorkers.load(), 0);
    EXPECT_EQ(ListNames(rig.fsx), (std::vector<std::string>{"extra.bmp", "t0.bmp", "t5.bmp"}));
    EXPECT_EQ(ReadFile(rig.fsx + "/extra.bmp"), "extra");
}

}  // namespace
}  // namespace vrx
