#include <gtest/gtest.h>
#include <stdio.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "PlatformFiles.h"
#include "platform/linux/CaseFold.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/CurrentFolder.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ListNames;
using test::ReadFile;
using test::WriteFile;

TEST(CaseFold, FoldsTheLettersWindows1252HasInBothCases) {
    struct Case {
        const char* name;
        const char* folded;
    };
    const Case cases[] = {
        {"TEXTURE\\A.BMP", "texture\\a.bmp"},
        {"ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏ", "àáâãäåæçèéêëìíîï"},
        {"ÐÑÒÓÔÕÖØÙÚÛÜÝÞ", "ðñòóôõöøùúûüýþ"},
        {"×÷ßÿ", "×÷ßÿ"},  // no case pairs
        {"ŠŒŽŸ", "šœžÿ"},
        {"ΩЖ", "ΩЖ"},      // outside Windows-1252: left alone
        {"a\xC3", "a\xC3"},  // not UTF-8: bytes kept
        {"\xC3\x41", "\xC3\x61"},
        // A Latin-1 name: a lead byte with no continuation byte after it is no pair.
        {"\xC5LAND.BMP", "\xC5land.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FoldCase(c.name), c.folded);
    }
}

class CaseResolution : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxFileSystem fs;
};

TEST_F(CaseResolution, FindsEachComponentInAnyCase) {
    WriteFile(dir / "Games/FSX/Texture/A.BMP", "bitmap");
    WriteFile(dir / "Games/FSX/Événement.txt", "x");

    struct Case {
        const char* asked;
        const char* found;
    };
    const Case cases[] = {
        {"games/fsx/texture/a.bmp", "Games/FSX/Texture/A.BMP"},
        {"GAMES/Fsx/TEXTURE/a.BMP", "Games/FSX/Texture/A.BMP"},
        {"Games/FSX/Texture/A.BMP", "Games/FSX/Texture/A.BMP"},
        {"games/fsx/éVÉNEMENT.TXT", "Games/FSX/Événement.txt"},
        {"games/fsx/texture/", "Games/FSX/Texture/"},
        {"games/missing/x.bmp", "Games/missing/x.bmp"},  // what is not found keeps its spelling
        {"games//fsx/texture/b.bmp", "Games/FSX/Texture/b.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(fs.resolve(dir / c.asked), dir / c.found);
    }
    EXPECT_TRUE(fs.exists(dir / "games/fsx/texture/a.bmp"));
    EXPECT_TRUE(fs.isFolder(dir / "GAMES/FSX/TEXTURE"));
    EXPECT_EQ(fs.fileLength(dir / "games/fsx/texture/a.bmp"), 6u);
    EXPECT_FALSE(fs.exists(dir / "games/fsx/texture/b.bmp"));
}

TEST_F(CaseResolution, PrefersTheExactNameWhenBothSpellingsExist) {
    WriteFile(dir / "a.bmp", "lower");
    WriteFile(dir / "A.BMP", "upper");
    EXPECT_EQ(fs.resolve(dir / "a.bmp"), dir / "a.bmp");
    EXPECT_EQ(fs.resolve(dir / "A.BMP"), dir / "A.BMP");
    const std::string other = fs.resolve(dir / "A.bmp");
    EXPECT_TRUE(other == dir / "a.bmp" || other == dir / "A.BMP") << other;
    EXPECT_EQ(fs.fileLength(dir / "A.BMP"), 5u);
}

TEST_F(CaseResolution, NewFilesTakeTheSpellingOfAnExistingEntry) {
    WriteFile(dir / "source.bmp", "new data");
    WriteFile(dir / "texture/a.bmp", "old");
    WriteFile(dir / "texture/settings.cfg", "x\r\n");
    WriteFile(dir / "texture/history.txt", "");

    ASSERT_TRUE(fs.copyFile(dir / "source.bmp", dir / "TEXTURE/A.BMP").ok);
    fs.endCopyRun();
    ASSERT_EQ(fs.writeTextFile(dir / "Texture/SETTINGS.CFG", {"y"}), WriteResult::Ok);
    ASSERT_EQ(fs.appendTextLine(dir / "texture/HISTORY.TXT", "z"), WriteResult::Ok);
    EXPECT_FALSE(fs.createFolder(dir / "TEXTURE"));

    EXPECT_EQ(ListNames(dir.path()), (std::vector<std::string>{"source.bmp", "texture"}));
    EXPECT_EQ(ListNames(dir / "texture"), (std::vector<std::string>{"a.bmp", "history.txt", "settings.cfg"}));
    EXPECT_EQ(ReadFile(dir / "texture/a.bmp"), "new data");
    EXPECT_EQ(ReadFile(dir / "texture/settings.cfg"), "y\r\n");
    EXPECT_EQ(ReadFile(dir / "texture/history.txt"), "z\r\n");
}

TEST_F(CaseResolution, CreatesFolderInsideAnExistingFolderOfAnotherCase) {
    test::MakeDirs(dir / "Backup");
    EXPECT_TRUE(fs.createFolder(dir / "backup/Main"));
    EXPECT_EQ(ListNames(dir / "Backup"), std::vector<std::string>{"Main"});
    EXPECT_FALSE(fs.createFolder(dir / "missing/parent"));
}

TEST_F(CaseResolution, SeesChangesMadeByOthers) {
    const std::string folder = dir / "texture";
    test::MakeDirs(folder);
    test::SetModified(folder, 1'000'000'000, 0);  // long settled
    EXPECT_FALSE(fs.exists(folder + "/A.TXT"));  // the folder's names are now remembered

    WriteFile(folder + "/a.txt", "x");
    EXPECT_TRUE(fs.exists(folder + "/A.TXT"));

    ASSERT_EQ(rename((folder + "/a.txt").c_str(), (folder + "/b.txt").c_str()), 0);
    EXPECT_FALSE(fs.exists(folder + "/A.TXT"));
    EXPECT_TRUE(fs.exists(folder + "/B.TXT"));
}

TEST_F(CaseResolution, DistrustsAListingTakenRightAfterAChange) {
    // A change within the same tick of the file system's clock leaves the
    // folder's time as it was; a fresh listing must not be trusted to be complete.
    const std::string folder = dir / "texture";
    test::MakeDirs(folder);
    const timespec before = test::ModifiedOf(folder);
    EXPECT_FALSE(fs.exists(folder + "/A.TXT"));
    WriteFile(folder + "/a.txt", "x");
    test::SetModified(folder, before.tv_sec, before.tv_nsec);
    EXPECT_TRUE(fs.exists(folder + "/A.TXT"));
}

TEST_F(CaseResolution, RemembersWhatItCreatedItself) {
    WriteFile(dir / "source.bmp", "data");
    test::MakeDirs(dir / "texture");
    EXPECT_FALSE(fs.exists(dir / "texture/FIRST.BMP"));  // names remembered from here on
    const std::vector<std::string> names = {"first.bmp", "second.bmp", "third.bmp"};
    for (const auto& name : names) ASSERT_TRUE(fs.copyFile(dir / "source.bmp", dir / "texture" + "/" + name).ok);
    ASSERT_TRUE(fs.createFolder(dir / "texture/sub"));
    for (const auto& name : {"FIRST.BMP", "Second.Bmp", "THIRD.bmp", "SUB"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs.exists(dir / "texture/" + name));
    }
    EXPECT_EQ(ListNames(dir / "texture"), (std::vector<std::string>{"first.bmp", "second.bmp", "sub", "third.bmp"}));
}

TEST_F(CaseResolution, AbsolutePathsStartFromTheCurrentFolder) {
    const std::string here = std::filesystem::canonical(dir.path()).string();
    const test::CurrentFolder current(here);
    struct Case {
        const char* path;
        std::string absolute;
    };
    const Case cases[] = {
        {"Backup", here + "/Backup"},
        {"./Backup/", here + "/Backup"},
        {"VRX Backup ", here + "/VRX Backup "},
        {"a//b/./c", here + "/a/b/c"},
        {"a/../b", here + "/a/../b"},  // a link at a would lead elsewhere than here/b
        {".", here},
        {"/srv//backup/./vrx/", "/srv/backup/vrx"},
        {"/", "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fs.absolutePath(c.path), c.absolute);
    }
    // What the relative path names is what the absolute one names.
    ASSERT_TRUE(fs.createFolder("Made Here"));
    EXPECT_TRUE(fs.isFolder(here + "/Made Here"));
}

TEST_F(CaseResolution, NoAbsolutePathFromARemovedCurrentFolder) {
    test::MakeDirs(dir / "gone");
    const test::CurrentFolder current(dir / "gone");
    std::filesystem::remove(dir / "gone");
    EXPECT_EQ(fs.absolutePath("Backup"), std::nullopt);
    EXPECT_EQ(fs.absolutePath("/srv/backup"), "/srv/backup");
}

}  // namespace
}  // namespace vrx
