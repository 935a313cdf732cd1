#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PlatformFiles.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ListNames;
using test::RawDosAttrib;
using test::ReadFile;
using test::SetRawDosAttrib;
using test::TemporariesIn;
using test::WriteFile;

// Bytes that differ from position to position, larger than any single copy buffer.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t x = 12345;
    for (auto& b : bytes) {
        x = x * 1103515245 + 12345;
        b = static_cast<char>(x >> 24);
    }
    return bytes;
}

class FileCopy : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxFileSystem fs;
    std::string source = dir / "src/a.bmp";
    std::string target = dir / "fsx/a.bmp";

    void SetUp() override {
        WriteFile(source, "new texture");
        test::MakeDirs(dir / "fsx");
    }
};

TEST_F(FileCopy, CopiesDataAttributesAndModificationTime) {
    const std::string big = Pattern(3 * 1024 * 1024 + 17);
    WriteFile(source, big);
    SetRawDosAttrib(source, "0x24");
    test::SetMode(source, 0444);
    test::SetModified(source, 1'000'000'123, 456'789'000);
    WriteFile(target, "an older and longer file that is replaced entirely");

    const CopyResult result = fs.copyFile(source, target);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(ReadFile(target), big);
    EXPECT_EQ(RawDosAttrib(target), "0x24");
    EXPECT_EQ(fs.attributes(target), AttrReadOnly | AttrSystem | AttrArchive);
    EXPECT_EQ(fs.attributes(target), fs.attributes(source));
    const timespec modified = test::ModifiedOf(target);
    EXPECT_EQ(modified.tv_sec, 1'000'000'123);
    EXPECT_EQ(modified.tv_nsec, 456'789'000);
    fs.endCopyRun();
    EXPECT_EQ(ListNames(dir / "fsx"), std::vector<std::string>{"a.bmp"});
}

TEST_F(FileCopy, ACopyOfAPlainFileIsPlain) {
    WriteFile(target, "old");
    SetRawDosAttrib(target, "0x20");
    ASSERT_TRUE(fs.copyFile(source, target).ok);
    EXPECT_EQ(RawDosAttrib(target), std::nullopt);
    EXPECT_EQ(fs.attributes(target), 0u);
    EXPECT_NE(test::ModeOf(target) & S_IWUSR, 0u);
}

TEST_F(FileCopy, CopiesEmptyFiles) {
    WriteFile(source, "");
    WriteFile(target, "old");
    ASSERT_TRUE(fs.copyFile(source, target).ok);
    EXPECT_EQ(ReadFile(target), "");
}

TEST_F(FileCopy, CopiesFilesWhoseSizeIsUnknownBeforeReading) {
    // Kernel status files report a length of 0 yet hold text.
    ASSERT_TRUE(fs.copyFile("/proc/self/status", target).ok);
    EXPECT_EQ(ReadFile(target).rfind("Name:", 0), 0u);
}

TEST_F(FileCopy, HiddenByNameFollowsTheSourceNotTheTargetName) {
    WriteFile(dir / "src/.hidden", "h");
    ASSERT_TRUE(fs.copyFile(dir / "src/.hidden", dir / "fsx/shown.bmp").ok);
    EXPECT_EQ(RawDosAttrib(dir / "fsx/shown.bmp"), "0x2");
    EXPECT_EQ(fs.attributes(dir / "fsx/shown.bmp"), AttrHidden);

    ASSERT_TRUE(fs.copyFile(source, dir / "fsx/.dotted").ok);
    EXPECT_EQ(fs.attributes(dir / "fsx/.dotted"), AttrHidden);  // a dot name is hidden whatever is stored
}

TEST_F(FileCopy, RefusesWhatAWindowsCopyRefuses) {
    struct Case {
        const char* name;
        void (*prepare)(const test::TempDir& dir);
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {"read-only target", [](const test::TempDir& d) { test::SetMode(d / "fsx/a.bmp", 0444); }, "src/a.bmp",
         "fsx/a.bmp"},
        {"read-only target in another case", [](const test::TempDir& d) { test::SetMode(d / "fsx/a.bmp", 0440); },
         "src/a.bmp", "FSX/A.BMP"},
        {"hidden target", [](const test::TempDir& d) { SetRawDosAttrib(d / "fsx/a.bmp", "0x2"); }, "src/a.bmp",
         "fsx/a.bmp"},
        {"hidden and archive target", [](const test::TempDir& d) { SetRawDosAttrib(d / "fsx/a.bmp", "0x22"); },
         "src/a.bmp", "fsx/a.bmp"},
        {"target hidden by its name", [](const test::TempDir& d) { WriteFile(d / "fsx/.a", "old"); }, "src/a.bmp",
         "fsx/.a"},
        {"target is a folder", [](const test::TempDir& d) { test::MakeDirs(d / "fsx/folder"); }, "src/a.bmp",
         "fsx/folder"},
        {"source missing", [](const test::TempDir&) {}, "src/missing.bmp", "fsx/a.bmp"},
        {"source is a folder", [](const test::TempDir&) {}, "src", "fsx/a.bmp"},
        {"target folder missing", [](const test::TempDir&) {}, "src/a.bmp", "nowhere/a.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        WriteFile(d / "src/a.bmp", "new texture");
        WriteFile(d / "fsx/a.bmp", "old texture");
        c.prepare(d);
        const auto before = ListNames(d / "fsx");

        const CopyResult result = fs.copyFile(d / c.from, d / c.to);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.empty());
        EXPECT_EQ(ReadFile(d / "fsx/a.bmp"), "old texture");
        EXPECT_EQ(ListNames(d / "fsx"), before);
        EXPECT_FALSE(test::PathExists(d / "nowhere"));
    }
}

// Read-only is the absence of every write bit, as Wine reports it: a file
// that only its group or only others may write is not read-only, and a copy
// replaces it like any other.
TEST_F(FileCopy, OnlyAFileWithNoWriteBitAtAllIsReadOnly) {
    struct Case {
        mode_t mode;
        bool readOnly;
    };
    for (const Case c : {Case{0464, false}, Case{0446, false}, Case{0644, false}, Case{0444, true}, Case{0555, true}}) {
        SCOPED_TRACE(c.mode);
        WriteFile(target, "old texture");
        test::SetMode(target, c.mode);
        EXPECT_EQ(fs.attributes(target), std::optional<std::uint32_t>(c.readOnly ? AttrReadOnly : 0U));

        const CopyResult result = fs.copyFile(source, target);

        EXPECT_EQ(result.ok, !c.readOnly) << result.error;
        EXPECT_EQ(ReadFile(target), c.readOnly ? "old texture" : "new texture");
        test::SetMode(target, 0644);
    }
}

// Whether the source holds data is learned from the copy's own look at it.
TEST_F(FileCopy, ACopyIfDataPassesOverWhatHoldsNoData) {
    struct Case {
        const char* name;
        void (*prepare)(const test::TempDir& dir);
        const char* from;
        const char* expected;  // the target's content afterwards
    };
    const Case cases[] = {
        {"missing source", [](const test::TempDir&) {}, "src/missing.bmp", "old texture"},
        {"empty source", [](const test::TempDir& d) { WriteFile(d / "src/empty.bmp", ""); }, "src/empty.bmp",
         "old texture"},
        {"source is a folder", [](const test::TempDir& d) { test::MakeDirs(d / "src/folder.bmp"); }, "src/folder.bmp",
         "old texture"},
        {"dangling link", [](const test::TempDir& d) { symlink("nowhere", (d / "src/link.bmp").c_str()); },
         "src/link.bmp", "old texture"},
        {"source with data", [](const test::TempDir&) {}, "src/a.bmp", "new texture"},
        {"source with data, another case", [](const test::TempDir&) {}, "SRC/A.BMP", "new texture"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        LinuxFileSystem fs2;
        WriteFile(d / "src/a.bmp", "new texture");
        WriteFile(d / "fsx/a.bmp", "old texture");
        c.prepare(d);

        const CopyResult result = fs2.copyFileIfData(d / c.from, d / "fsx/a.bmp");

        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_EQ(ReadFile(d / "fsx/a.bmp"), c.expected);
        fs2.endCopyRun();
        EXPECT_EQ(ListNames(d / "fsx"), std::vector<std::string>{"a.bmp"});
    }
    // A source with data that cannot be copied still fails the copy.
    EXPECT_FALSE(fs.copyFileIfData(source, dir / "nowhere/a.bmp").ok);
}

// Wine shows a dot file as hidden whatever its stored attribute says, so a
// copy over it is refused like a copy over any hidden file.
TEST_F(FileCopy, ADotNamedTargetMarkedShownIsStillHiddenAndRefused) {
    WriteFile(dir / "fsx/.a", "old");
    SetRawDosAttrib(dir / "fsx/.a", "0x0");
    EXPECT_FALSE(fs.copyFile(source, dir / "fsx/.a").ok);
    EXPECT_EQ(ReadFile(dir / "fsx/.a"), "old");
}

TEST_F(FileCopy, TheTemporaryFileIsCompleteAndHiddenBeforeTheRename) {
    WriteFile(target, "old texture");
    bool called = false;
    fs.setBeforeRenameHookForTesting([&] {
        called = true;
        EXPECT_EQ(ReadFile(target), "old texture");
        const auto temps = TemporariesIn(dir / "fsx");
        ASSERT_EQ(temps.size(), 1u);
        EXPECT_EQ(ReadFile(dir / "fsx/" + temps[0]), "new texture");
        const auto listed = fs.listOrdinaryFiles(dir / "fsx");
        ASSERT_TRUE(listed.has_value());
        EXPECT_EQ(*listed, std::vector<std::string>{"a.bmp"});
    });
    ASSERT_TRUE(fs.copyFile(source, target).ok);
    EXPECT_TRUE(called);
    EXPECT_EQ(ReadFile(target), "new texture");
    fs.endCopyRun();
    EXPECT_TRUE(TemporariesIn(dir / "fsx").empty());
}

// A new target is written without any name until it is complete, then
// appears under its own name with everything the source carries.
TEST_F(FileCopy, ANewTargetHasNoNameUntilItIsComplete) {
    SetRawDosAttrib(source, "0x21");
    test::SetMode(source, 0444);
    test::SetModified(source, 1'200'000'000, 5'000);
    bool called = false;
    fs.setBeforeRenameHookForTesting([&] {
        called = true;
        EXPECT_TRUE(ListNames(dir / "fsx").empty());
    });
    const CopyResult result = fs.copyFile(source, target);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(called);
    EXPECT_EQ(ReadFile(target), "new texture");
    EXPECT_EQ(RawDosAttrib(target), "0x21");
    EXPECT_EQ(fs.attributes(target), AttrReadOnly | AttrArchive);
    EXPECT_EQ(test::ModifiedOf(target).tv_sec, 1'200'000'000);
    fs.endCopyRun();
    EXPECT_EQ(ListNames(dir / "fsx"), std::vector<std::string>{"a.bmp"});
}

// Another program creating the target while the copy writes: its file is
// left as it is and the copy reports the failure, never replacing it unseen.
TEST_F(FileCopy, ATargetThatAppearsDuringTheCopyIsLeftAndTheCopyFails) {
    fs.setBeforeRenameHookForTesting([&] { WriteFile(target, "someone else's"); });
    EXPECT_FALSE(fs.copyFile(source, target).ok);
    EXPECT_EQ(ReadFile(target), "someone else's");
    fs.endCopyRun();
    EXPECT_EQ(ListNames(dir / "fsx"), std::vector<std::string>{"a.bmp"});
}

TEST_F(FileCopy, AnInterruptedCopyLeavesTheOldTarget) {
    WriteFile(target, "old texture");
    EXPECT_EXIT(
        {
            fs.setBeforeRenameHookForTesting([] { _exit(3); });
            fs.copyFile(source, target);
            _exit(0);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(ReadFile(target), "old texture");
    ASSERT_EQ(TemporariesIn(dir / "fsx").size(), 1u);
    const auto listed = fs.listOrdinaryFiles(dir / "fsx");
    ASSERT_TRUE(listed.has_value());
    EXPECT_EQ(*listed, std::vector<std::string>{"a.bmp"});

    fs.removeLeftoverTemporaries(dir / "FSX");
    EXPECT_EQ(ListNames(dir / "fsx"), std::vector<std::string>{"a.bmp"});
    ASSERT_TRUE(fs.copyFile(source, target).ok);
    EXPECT_EQ(ReadFile(target), "new texture");
}

TEST_F(FileCopy, RemovesOnlyItsOwnTemporaries) {
    WriteFile(dir / "fsx/.vrx-copy-ABCdef.tmp", "leftover");
    WriteFile(dir / "fsx/.vrx-copy-notours.tmp", "not ours: too long");
    WriteFile(dir / "fsx/vrx-copy-ABCdef.tmp", "not ours: no dot");
    WriteFile(dir / "fsx/a.bmp", "kept");
    fs.removeLeftoverTemporaries(dir / "fsx");
    EXPECT_EQ(ListNames(dir / "fsx"),
              (std::vector<std::string>{".vrx-copy-notours.tmp", "a.bmp", "vrx-copy-ABCdef.tmp"}));
    fs.removeLeftoverTemporaries(dir / "missing");  // nothing to do, nothing to fail
}

TEST_F(FileCopy, FindsTheSourceInAnyCase) {
    ASSERT_TRUE(fs.copyFile(dir / "SRC/A.BMP", target).ok);
    EXPECT_EQ(ReadFile(target), "new texture");
}

// A run names its files relative to the folders it copies between, found
// once without regard to case; the names are still matched without regard to
// case, file by file, and a new name keeps the spelling it was given.
TEST_F(FileCopy, ARunMatchesEachNameInItsFoldersWithoutRegardToCase) {
    for (const std::string name : {"b.bmp", "C.bmp"}) WriteFile(dir / "src/" + name, "new " + name);
    for (const std::string name : {"a.bmp", "b.bmp"}) WriteFile(dir / "fsx/" + name, "old " + name);
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {"SRC/A.BMP", "FSX/A.BMP"}, {"Src/b.BMP", "fSx/B.bmp"}, {"src/c.bmp", "FSX/New C.bmp"}}) {
        const CopyResult result = fs.copyFile(dir / from, dir / to);
        ASSERT_TRUE(result.ok) << from << ": " << result.error;
    }
    fs.endCopyRun();
    EXPECT_EQ(ListNames(dir / "fsx"), (std::vector<std::string>{"New C.bmp", "a.bmp", "b.bmp"}));
    EXPECT_EQ(ReadFile(dir / "fsx/a.bmp"), "new texture");
    EXPECT_EQ(ReadFile(dir / "fsx/b.bmp"), "new b.bmp");
    EXPECT_EQ(ReadFile(dir / "fsx/New C.bmp"), "new C.bmp");
}

// The folders are found again by the next run: one put in the place of the
// folder an earlier run copied into gets the copies, not the one moved away.
TEST_F(FileCopy, EachRunFindsItsFoldersAgain) {
    WriteFile(target, "old");
    ASSERT_TRUE(fs.copyFile(source, target).ok);
    fs.endCopyRun();
    ASSERT_EQ(rename((dir / "fsx").c_str(), (dir / "fsx-moved").c_str()), 0);
    ASSERT_EQ(rename((dir / "src").c_str(), (dir / "src-moved").c_str()), 0);
    WriteFile(dir / "fsx/a.bmp", "old in the new folder");
    WriteFile(dir / "src/a.bmp", "from the new source folder");

    ASSERT_TRUE(fs.copyFile(source, target).ok);
    fs.endCopyRun();
    EXPECT_EQ(ReadFile(target), "from the new source folder");
    EXPECT_EQ(ReadFile(dir / "fsx-moved/a.bmp"), "new texture");
    EXPECT_EQ(ListNames(dir / "fsx"), std::vector<std::string>{"a.bmp"});
    EXPECT_EQ(ListNames(dir / "fsx-moved"), std::vector<std::string>{"a.bmp"});
}

// Within a run the target folder is removed and made again (another program
// reinstalling the simulator's folders): no copy may go into the removed
// folder and be reported as made. Each either lands in the new folder or
// fails and leaves what the new folder holds.
TEST_F(FileCopy, AFolderRemovedAndMadeAgainDuringARunNeverSwallowsACopy) {
    for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) WriteFile(dir / "src/" + name, "new " + name);
    WriteFile(target, "old a.bmp");
    ASSERT_TRUE(fs.copyFile(source, target).ok);
    std::filesystem::remove_all(dir / "fsx");
    WriteFile(dir / "fsx/b.bmp", "old b.bmp in the new folder");

    for (const std::string name : {"b.bmp", "c.bmp"}) {
        SCOPED_TRACE(name);
        const CopyResult result = fs.copyFile(dir / "src/" + name, dir / "fsx/" + name);
        if (result.ok) {
            EXPECT_EQ(ReadFile(dir / "fsx/" + name), "new " + name);
        } else if (name == "b.bmp") {
            EXPECT_EQ(ReadFile(dir / "fsx/b.bmp"), "old b.bmp in the new folder");
        } else {
            EXPECT_FALSE(std::filesystem::exists(dir / "fsx/c.bmp"));
        }
    }
    fs.endCopyRun();
    EXPECT_TRUE(TemporariesIn(dir / "fsx").empty());
}

}  // namespace
}  // namespace vrx
