#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "PlatformFiles.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::RawDosAttrib;
using test::ReadFile;
using test::SetRawDosAttrib;
using test::WriteFile;

constexpr mode_t kWriteBits = 0222;

class DosAttributes : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxFileSystem fs;
};

TEST_F(DosAttributes, SetAttributesKeepsThemAsWineDoes) {
    struct Case {
        const char* name;
        std::uint32_t set;
        std::optional<std::string> raw;  // user.DOSATTRIB afterwards
        bool writable;
        std::uint32_t readBack;
    };
    const Case cases[] = {
        {"hidden archive", AttrHidden | AttrArchive, "0x22", true, 34},
        {"system", AttrSystem, "0x4", true, 4},
        {"archive", AttrArchive, "0x20", true, 32},
        {"all", AttrReadOnly | AttrHidden | AttrSystem | AttrArchive, "0x26", false, 39},
        {"read-only", AttrReadOnly, std::nullopt, false, 1},
        {"read-only hidden", AttrReadOnly | AttrHidden, "0x2", false, 3},
        {"plain", 0, std::nullopt, true, 0},
        {"directory bit ignored", AttrDirectory | AttrHidden, "0x2", true, 2},
    };
    const std::string file = dir / "a.bmp";
    WriteFile(file, "x");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fs.setAttributes(file, c.set));
        EXPECT_EQ(RawDosAttrib(file), c.raw);
        EXPECT_EQ((test::ModeOf(file) & kWriteBits) != 0, c.writable);
        EXPECT_EQ(fs.attributes(file), c.readBack);
        EXPECT_EQ(fs.attributes(dir / "A.BMP"), c.readBack);  // through the case-insensitive look-up
    }
}

TEST_F(DosAttributes, ClearingReadOnlyGivesWriteBackWhereReadIsAllowed) {
    const std::string file = dir / "a.bmp";
    WriteFile(file, "x");
    test::SetMode(file, 0444);
    EXPECT_EQ(fs.attributes(file), AttrReadOnly);
    ASSERT_TRUE(fs.setAttributes(file, 0));
    const mode_t mode = test::ModeOf(file);
    EXPECT_EQ(mode & 0444, 0444u);
    EXPECT_NE(mode & S_IWUSR, 0u);
    EXPECT_EQ(mode & ~(0444 | kWriteBits), 0u);
    EXPECT_EQ(fs.attributes(file), 0u);

    test::SetMode(file, 0000);  // not even the owner may read: the owner still gets write
    ASSERT_TRUE(fs.setAttributes(file, AttrArchive));
    EXPECT_EQ(test::ModeOf(file), 0200u);
    EXPECT_EQ(fs.attributes(file), AttrArchive);
}

TEST_F(DosAttributes, ANameWithALeadingDotIsAlwaysHidden) {
    const std::string file = dir / ".profile";
    WriteFile(file, "x");
    EXPECT_EQ(fs.attributes(file), AttrHidden);
    EXPECT_FALSE(fs.isOrdinaryFile(file));

    // Wine's own attrib shows "A H" for a dot file holding 0x20.
    SetRawDosAttrib(file, "0x20");
    EXPECT_EQ(fs.attributes(file), AttrArchive | AttrHidden);
    EXPECT_FALSE(fs.isOrdinaryFile(file));

    // Clearing cannot show it.
    ASSERT_TRUE(fs.setAttributes(file, 0));
    EXPECT_EQ(RawDosAttrib(file), std::nullopt);
    EXPECT_EQ(fs.attributes(file), AttrHidden);
    EXPECT_FALSE(fs.isOrdinaryFile(file));

    ASSERT_TRUE(fs.setAttributes(file, AttrHidden | AttrReadOnly));
    EXPECT_EQ(RawDosAttrib(file), "0x2");
    EXPECT_EQ(fs.attributes(file), AttrHidden | AttrReadOnly);
}

TEST_F(DosAttributes, ReadsTheStoredTextTolerantly) {
    struct Case {
        std::string raw;
        const char* name;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"0x22", "a.bmp", 34},
        {"0X22", "a.bmp", 34},
        {"34", "a.bmp", 34},
        {std::string("0x4\0", 4), "a.bmp", 4},  // with a NUL, as some tools write it
        {"0x1", "a.bmp", 0},                   // read-only comes from the permission bits only
        {"0x0", ".dot", 2},       // a dot file is hidden whatever is stored
        {"0x20", ".dot", 34},
        {"garbage", "a.bmp", 0},  // unreadable counts as absent
        {"garbage", ".dot", 2},
        {"0x", "a.bmp", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        const std::string file = dir / c.name;
        WriteFile(file, "x");
        SetRawDosAttrib(file, c.raw);
        EXPECT_EQ(fs.attributes(file), c.expected);
    }
}

TEST_F(DosAttributes, FoldersReportTheDirectoryBit) {
    test::MakeDirs(dir / "Texture");
    EXPECT_EQ(fs.attributes(dir / "texture"), AttrDirectory);
    ASSERT_TRUE(fs.setAttributes(dir / "texture", AttrHidden | AttrReadOnly));
    EXPECT_EQ(test::ModeOf(dir / "Texture") & kWriteBits, S_IWUSR);  // folders keep their permissions
    EXPECT_EQ(fs.attributes(dir / "texture"), AttrDirectory | AttrHidden);
    EXPECT_EQ(fs.attributes(dir / "missing"), std::nullopt);
    EXPECT_FALSE(fs.setAttributes(dir / "missing", 0));
}

TEST_F(DosAttributes, LinksAreReadThroughButNeverChangedThrough) {
    WriteFile(dir / "elsewhere/real.bmp", "x");
    SetRawDosAttrib(dir / "elsewhere/real.bmp", "0x2");
    test::SetMode(dir / "elsewhere/real.bmp", 0444);
    ASSERT_EQ(symlink((dir / "elsewhere/real.bmp").c_str(), (dir / "link.bmp").c_str()), 0);
    EXPECT_EQ(fs.attributes(dir / "LINK.BMP"), AttrHidden | AttrReadOnly);
    for (const std::uint32_t bits : {0u, std::uint32_t{AttrArchive}}) {
        ASSERT_TRUE(fs.setAttributes(dir / "link.bmp", bits));
        EXPECT_EQ(RawDosAttrib(dir / "elsewhere/real.bmp"), "0x2");
        EXPECT_EQ(test::ModeOf(dir / "elsewhere/real.bmp") & 0777, 0444u);
    }
}

// The read-only fix looks at a target, then changes it: a link put at the
// name in between must not carry the change to the file it points to.
TEST_F(DosAttributes, ALinkPutAtTheNameAfterTheLookIsNeverChangedThrough) {
    struct Case {
        const char* name;
        mode_t lookedMode;  // the file as the look found it
        std::uint32_t bits;
    };
    const Case cases[] = {
        {"read-only cleared", 0444, 0},
        {"read-only set", 0644, AttrReadOnly},
        {"archive set", 0644, AttrArchive},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        const std::string target = d / "fsx/a.bmp";
        const std::string real = d / "elsewhere/real.bmp";
        WriteFile(target, "looked at");
        test::SetMode(target, c.lookedMode);
        struct stat looked {};
        ASSERT_EQ(lstat(target.c_str(), &looked), 0);
        WriteFile(real, "not yours");
        SetRawDosAttrib(real, "0x2");
        test::SetMode(real, 0444);
        ASSERT_EQ(unlink(target.c_str()), 0);
        ASSERT_EQ(symlink(real.c_str(), target.c_str()), 0);

        EXPECT_FALSE(SetDosAttributes(target, looked, c.bits));
        EXPECT_EQ(RawDosAttrib(real), "0x2");
        EXPECT_EQ(test::ModeOf(real) & 0777, 0444u);
        EXPECT_EQ(ReadFile(real), "not yours");
    }
}

class OrdinaryFiles : public DosAttributes {
protected:
    void SetUp() override {
        WriteFile(dir / "src/plain.dds", "x");
        WriteFile(dir / "src/readonly.dds", "x");
        test::SetMode(dir / "src/readonly.dds", 0444);
        WriteFile(dir / "src/archive.dds", "x");
        SetRawDosAttrib(dir / "src/archive.dds", "0x20");
        WriteFile(dir / "src/hidden.dds", "x");
        SetRawDosAttrib(dir / "src/hidden.dds", "0x22");
        WriteFile(dir / "src/system.dds", "x");
        SetRawDosAttrib(dir / "src/system.dds", "0x4");
        WriteFile(dir / "src/.dotted", "x");
        WriteFile(dir / "src/.shown", "x");
        SetRawDosAttrib(dir / "src/.shown", "0x0");
        test::MakeDirs(dir / "src/sub.dds");
        symlink("plain.dds", (dir / "src/link.dds").c_str());
        symlink("sub.dds", (dir / "src/folderlink").c_str());
        symlink("nothing", (dir / "src/dangling.dds").c_str());
        WriteFile(dir / "src/.vrx-copy-Ab12Cd.tmp", "half");  // a copy's leftover, even with attributes
        SetRawDosAttrib(dir / "src/.vrx-copy-Ab12Cd.tmp", "0x20");
    }
};

// The read-only fix's one look at a target: the same answers as asking for
// the length and then the attributes.
TEST_F(OrdinaryFiles, AttributesIfDataTellsWhetherAFileHoldsDataAndItsBitsInOneLook) {
    WriteFile(dir / "src/empty.dds", "");
    test::SetMode(dir / "src/empty.dds", 0444);
    WriteFile(dir / "src/groupwritable.dds", "x");
    test::SetMode(dir / "src/groupwritable.dds", 0464);
    ASSERT_EQ(symlink("readonly.dds", (dir / "src/readonlylink.dds").c_str()), 0);
    struct Case {
        const char* name;
        bool hasData;
        std::optional<std::uint32_t> bits;
    };
    const Case cases[] = {
        {"PLAIN.DDS", true, 0},
        {"empty.dds", false, std::nullopt},
        {"readonly.dds", true, 1},
        {"groupwritable.dds", true, 0},
        {"hidden.dds", true, 34},
        {"system.dds", true, 4},
        {".dotted", true, 2},
        {"sub.dds", false, std::nullopt},
        {"readonlylink.dds", true, 1},
        {"dangling.dds", false, std::nullopt},
        {"missing.dds", false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DataFileAttributes look = fs.attributesIfData(dir / (std::string("src/") + c.name));
        EXPECT_EQ(look.hasData, c.hasData);
        EXPECT_EQ(look.bits, c.bits);
    }
}

TEST_F(OrdinaryFiles, ListsFilesThatAreNeitherFoldersNorHiddenNorSystem) {
    auto names = fs.listOrdinaryFiles(dir / "SRC");
    ASSERT_TRUE(names.has_value());
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"archive.dds", "link.dds", "plain.dds", "readonly.dds"}));

    struct Case {
        const char* name;
        bool ordinary;
    };
    const Case cases[] = {
        {"plain.dds", true},   {"READONLY.DDS", true}, {"archive.dds", true},   {"hidden.dds", false},
        {"system.dds", false}, {".dotted", false},     {".shown", false},        {"sub.dds", false},
        {"link.dds", true},    {"folderlink", false},  {"dangling.dds", false}, {"missing.dds", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fs.isOrdinaryFile(dir / "src/" + c.name), c.ordinary);
    }
}

TEST_F(OrdinaryFiles, AMissingFolderIsEmptyAndAnUnlistableOneIsAFailure) {
    const auto missing = fs.listOrdinaryFiles(dir / "nowhere");
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->empty());

    ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
    EXPECT_FALSE(fs.listOrdinaryFiles(dir / "loop").has_value());
}

TEST_F(OrdinaryFiles, ExistenceAndLengthIgnoreAttributes) {
    EXPECT_TRUE(fs.exists(dir / "src/hidden.dds"));
    EXPECT_TRUE(fs.exists(dir / "src/sub.dds"));
    EXPECT_FALSE(fs.exists(dir / "src/dangling.dds"));
    EXPECT_TRUE(fs.isFolder(dir / "src/SUB.DDS"));
    EXPECT_FALSE(fs.isFolder(dir / "src/plain.dds"));
    EXPECT_EQ(fs.fileLength(dir / "src/system.dds"), 1u);
    EXPECT_EQ(fs.fileLength(dir / "src/sub.dds"), std::nullopt);
    EXPECT_EQ(fs.fileLength(dir / "src/missing.dds"), std::nullopt);
}

}  // namespace
}  // namespace vrx
