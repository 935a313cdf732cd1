#include <gtest/gtest.h>

#include "catalogue/Catalogue.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/ReadFailingFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using Names = std::vector<std::string>;

// The messages as the user must see them, spelled out so that a changed text in the program is caught.
const std::string kMissingText = "Verdantis configuration file (verdantis.cfg) is missing. Please reinstall Verdantis.";
const std::string kCorruptedText =
    "Verdantis configuration file (verdantis.cfg) is corrupted. Please reinstall Verdantis.";

// An area line whose source folder is folder; the other fields are fillers.
std::string Area(const std::string& name, const std::string& folder, const std::string& target = "Target") {
    return "0|" + name + "|" + folder + "|" + name + ".bmp||" + target + "|About " + name + "\r\n";
}

class CatalogueTest : public ::testing::Test {
protected:
    CatalogueLoadResult load(const std::string& bytes) {
        test::WriteFile(file, bytes);
        return LoadCatalogue(fs, app.path(), file);
    }

    test::TempDir app;
    LinuxFileSystem fs;
    std::string file = CatalogueFilePathFor(app.path());
};

struct LoadCase {
    const char* name;
    std::string bytes;
    std::optional<Names> names;  // nullopt: the catalogue is corrupted
    Names backups = {};          // the leading non-empty backup folders
};

TEST_F(CatalogueTest, LoadsOrRejectsWholeCatalogues) {
    // Present below the AppFolder: Area1, Area2, Area3 and the file Single.bin; Area9 is missing.
    test::MakeDirs(app / "Area1");
    test::MakeDirs(app / "Area2");
    test::MakeDirs(app / "AREA3");
    test::WriteFile(app / "Single.bin", "x");
    const std::string backups = "//backups\r\nTarget1\r\n//end\r\n";

    const LoadCase cases[] = {
        {"two areas", "2\r\n" + Area("A", "Area1") + Area("B", "Area2") + backups, Names{"A", "B"}, {"Target1"}},
        {"spaces around the count",
         "  2  \r\n" + Area("A", "Area1") + Area("B", "Area2") + backups,
         Names{"A", "B"},
         {"Target1"}},
        {"count larger than the area lines", "3\r\n" + Area("A", "Area1") + Area("B", "Area2") + backups, std::nullopt},
        {"count smaller than the area lines", "1\r\n" + Area("A", "Area1") + Area("B", "Area2") + backups,
         std::nullopt},
        {"tabs around the count", "\t2\t\r\n" + Area("A", "Area1") + Area("B", "Area2") + backups, std::nullopt},
        {"count 0", "0\r\n" + backups, std::nullopt},
        {"negative count", "-1\r\n" + backups, std::nullopt},
        {"count as text", "two\r\n" + Area("A", "Area1") + Area("B", "Area2") + backups, std::nullopt},
        {"count with text after it", "2x\r\n" + Area("A", "Area1") + Area("B", "Area2") + backups, std::nullopt},
        {"count beyond 32 bits", "4294967298\r\n" + Area("A", "Area1") + Area("B", "Area2") + backups, std::nullopt},
        {"huge count sizes nothing", "2000000000\r\n" + Area("A", "Area1") + backups, std::nullopt},
        {"empty file", "", std::nullopt},
        {"seven fields with empty exclusions", "1\r\n0|A|Area1|a.bmp||T|d\r\n" + backups, Names{"A"}, {"Target1"}},
        {"six fields", "1\r\n0|A|Area1|a.bmp||T\r\n" + backups, std::nullopt},
        {"two fields", "1\r\n0|A\r\n" + backups, std::nullopt},
        {"fields after the seventh ignored", "1\r\n0|A|Area1|a.bmp||T|d|x|y\r\n" + backups, Names{"A"}, {"Target1"}},
        {"skipped line needs three fields",
         "2\r\n" + Area("A", "Area1") + "0|B|Area9\r\n" + backups,
         Names{"A"},
         {"Target1"}},
        {"taken line with three fields", "2\r\n" + Area("A", "Area1") + "0|B|Area2\r\n" + backups, std::nullopt},
        {"missing third folder shifts the rest",
         "4\r\n" + Area("A", "Area1") + Area("B", "Area2") + Area("C", "Area9") + Area("D", "Area3") + backups,
         Names{"A", "B", "D"},
         {"Target1"}},
        {"first area listed without its folder",
         "2\r\n" + Area("A", "Area9") + Area("B", "Area2") + backups,
         Names{"A", "B"},
         {"Target1"}},
        {"empty source folder is the AppFolder",
         "2\r\n" + Area("A", "Area1") + Area("B", "") + backups,
         Names{"A", "B"},
         {"Target1"}},
        {"source folder may be a file",
         "2\r\n" + Area("A", "Area1") + Area("B", "Single.bin") + backups,
         Names{"A", "B"},
         {"Target1"}},
        {"source folder in other letter case",
         "2\r\n" + Area("A", "Area1") + Area("B", "area3") + backups,
         Names{"A", "B"},
         {"Target1"}},
        {"names are not trimmed", "1\r\n" + Area(" A ", "Area1") + backups, Names{" A "}, {"Target1"}},
        {"marker with capital letters",
         "1\r\n" + Area("A", "Area1") + "//BackUps\r\nT\r\n//END\r\n",
         Names{"A"},
         {"T"}},
        {"marker with a leading space", "1\r\n" + Area("A", "Area1") + " //backups\r\nT\r\n", std::nullopt},
        {"marker with a trailing space", "1\r\n" + Area("A", "Area1") + "//backups \r\nT\r\n", std::nullopt},
        {"no marker", "1\r\n" + Area("A", "Area1"), std::nullopt},
        {"ten backup folders",
         "1\r\n" + Area("A", "Area1") + "//backups\r\n0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n//end\r\n",
         Names{"A"},
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"eleven backup folders",
         "1\r\n" + Area("A", "Area1") +
             "//backups\r\n0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n//end\r\n",
         std::nullopt},
        {"no end marker", "1\r\n" + Area("A", "Area1") + "//backups\r\nT1\r\nT2", Names{"A"}, {"T1", "T2"}},
        {"backup folders keep their tabs",
         "1\r\n" + Area("A", "Area1") + "//backups\r\n \tT1\t \r\n//end\r\n",
         Names{"A"},
         {"\tT1\t"}},
        {"empty backups section", "1\r\n" + Area("A", "Area1") + "//backups\r\n", Names{"A"}, {}},
        {"nothing read after the end marker",
         "1\r\n" + Area("A", "Area1") +
             "//backups\r\nT\r\n//end\r\n0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n",
         Names{"A"},
         {"T"}},
        {"blank backup line ends the list",
         "1\r\n" + Area("A", "Area1") + "//backups\r\nT1\r\n\r\nT2\r\n//end\r\n",
         Names{"A"},
         {"T1"}},
        {"parent folder in a source folder", "2\r\n" + Area("A", "Area1") + Area("B", "..\\Area2") + backups,
         std::nullopt},
        {"parent folder in the first source folder", "1\r\n" + Area("A", "Area1\\..\\..") + backups, std::nullopt},
        {"parent folder in a skipped line", "2\r\n" + Area("A", "Area1") + "0|B|..\\..\\Area9\r\n" + backups,
         std::nullopt},
        {"parent folder in a target folder", "1\r\n" + Area("A", "Area1", "Texture\\..\\..\\Windows") + backups,
         std::nullopt},
        {"parent folder in a backup folder", "1\r\n" + Area("A", "Area1") + "//backups\r\n..\\Texture\r\n",
         std::nullopt},
        {"dots inside a name are no parent folder",
         "1\r\n" + Area("A", "Area1", "..Texture..") + "//backups\r\nT..x\r\n",
         Names{"A"},
         {"T..x"}},
        {"leading separators stay below the folders",
         "2\r\n" + Area("A", "Area1") + Area("B", "\\Area2", "\\T") + backups,
         Names{"A", "B"},
         {"Target1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = load(c.bytes);
        if (!c.names) {
            EXPECT_FALSE(result.catalogue.has_value());
            EXPECT_EQ(result.fatalMessage, kCorruptedText);
            continue;
        }
        ASSERT_TRUE(result.catalogue.has_value()) << result.fatalMessage;
        EXPECT_EQ(result.fatalMessage, "");
        EXPECT_EQ(result.catalogue->names, *c.names);
        ASSERT_EQ(result.catalogue->areas.size(), c.names->size());
        for (std::size_t i = 0; i < c.names->size(); ++i) EXPECT_EQ(result.catalogue->areas[i].Name, (*c.names)[i]);
        Names backupList;
        for (const auto& folder : result.catalogue->backupSourceFolders) {
            if (folder.empty()) break;
            backupList.push_back(folder);
        }
        EXPECT_EQ(backupList, c.backups);
    }
}

// A read error anywhere before the end marker corrupts the catalogue, even
// where the lines that did arrive would make a whole one.
TEST_F(CatalogueTest, ReadFailingPartWayIsCorrupted) {
    test::MakeDirs(app / "Area1");
    test::WriteFile(file, "1\r\n" + Area("A", "Area1") + "//backups\r\nTarget1\r\nTarget2\r\n//end\r\n");
    for (const std::size_t failingLine : {1u, 2u, 3u, 5u, 6u}) {
        SCOPED_TRACE("read fails within line " + std::to_string(failingLine));
        test::ReadFailingFileSystem failing(fs);
        failing.FailReadWithinLine(file, failingLine);

        const auto result = LoadCatalogue(failing, app.path(), file);

        EXPECT_FALSE(result.catalogue.has_value());
        EXPECT_EQ(result.fatalMessage, kCorruptedText);
    }
}

TEST_F(CatalogueTest, FillsEveryFieldOfAnArea) {
    test::MakeDirs(app / "Area1/Sub");
    const auto result = load(
        "2\r\n"
        "1|First area|Area1\\Sub|area1.bmp|2,3|Texture\\Sub|First line.\\nSecond line.\\n\\nLast \\N.|ignored\r\n"
        "2|Second area|Area9|area2.bmp|1|Target1|Gone.\r\n"
        "//backups\r\n"
        "  Scenery\\World\\Texture  \r\n"
        "\r\n"
        "Texture\r\n"
        "//end\r\n");
    ASSERT_TRUE(result.catalogue.has_value()) << result.fatalMessage;
    const auto& catalogue = *result.catalogue;
    ASSERT_EQ(catalogue.areas.size(), 1u);
    const SceneryArea& area = catalogue.areas[0];
    EXPECT_EQ(area.Name, "First area");
    EXPECT_EQ(area.SourceFolder, "Area1/Sub");
    EXPECT_EQ(area.PreviewImage, "area1.bmp");
    EXPECT_EQ(area.Exclusions, "2,3");
    EXPECT_EQ(area.TargetFolder, "Texture/Sub");
    EXPECT_EQ(area.Description, "First line.\r\nSecond line.\r\n\r\nLast \\N.");
    EXPECT_EQ(catalogue.names, Names{"First area"});
    EXPECT_EQ(catalogue.backupSourceFolders,
              (BackupFolderList{"Scenery/World/Texture", "", "Texture", "", "", "", "", "", "", ""}));
}

TEST_F(CatalogueTest, KeepsWindows1252TextAsUtf8) {
    const auto result = load("1\r\n0|Gen\xE8ve|Area1|g.bmp||T|Caf\xE9\r\n//backups\r\n");
    ASSERT_TRUE(result.catalogue.has_value());
    EXPECT_EQ(result.catalogue->areas[0].Name, "Gen\xC3\xA8ve");
    EXPECT_EQ(result.catalogue->areas[0].Description, "Caf\xC3\xA9");
}

TEST_F(CatalogueTest, MissingOrHiddenFileIsMissing) {
    auto result = LoadCatalogue(fs, app.path(), file);
    EXPECT_FALSE(result.catalogue.has_value());
    EXPECT_EQ(result.fatalMessage, kMissingText);

    test::WriteFile(file, "1\r\n" + Area("A", "Area1") + "//backups\r\n");
    ASSERT_TRUE(fs.setAttributes(file, AttrHidden));
    result = LoadCatalogue(fs, app.path(), file);
    EXPECT_FALSE(result.catalogue.has_value());
    EXPECT_EQ(result.fatalMessage, kMissingText);
}

TEST_F(CatalogueTest, ExistenceTestAcceptsHiddenFolders) {
    test::MakeDirs(app / "Hidden");
    ASSERT_TRUE(fs.setAttributes(app / "Hidden", AttrHidden));
    const auto result = load("2\r\n" + Area("A", "Area9") + Area("B", "Hidden") + "//backups\r\n");
    ASSERT_TRUE(result.catalogue.has_value());
    EXPECT_EQ(result.catalogue->names, (Names{"A", "B"}));
}

TEST(CatalogueFilePath, JoinsWithOneSeparator) {
    EXPECT_EQ(CatalogueFilePathFor("/opt/vrx"), "/opt/vrx/vrx.cfg");
    EXPECT_EQ(CatalogueFilePathFor("/opt/vrx/"), "/opt/vrx/vrx.cfg");
    EXPECT_EQ(CatalogueFilePathFor("/"), "/vrx.cfg");
}

}  // namespace
}  // namespace vrx
