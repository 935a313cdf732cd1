#include <gtest/gtest.h>

#include <optional>

#include "backup/BackupList.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

struct CountCase {
    const char* line;
    std::optional<std::int32_t> expected;
};

TEST(ParseListCount, AcceptsOnlyDecimal32BitIntegersWithSpacesAndSign) {
    const CountCase cases[] = {
        {"3", 3},
        {"0", 0},
        {"  12  ", 12},
        {"+7", 7},
        {"-2", -2},
        {" -0012", -12},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"3abc", std::nullopt},
        {"- 3", std::nullopt},
        {"+", std::nullopt},
        {"1.5", std::nullopt},
        {"1 2", std::nullopt},
        {"\t4", std::nullopt},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(std::string("line \"") + c.line + "\"");
        EXPECT_EQ(ParseListCount(c.line), c.expected);
    }
}

class BackupListRead : public ::testing::Test {
protected:
    test::TempDir tmp;
    LinuxFileSystem fs;
    std::string path = tmp / "backup.lst";
};

TEST_F(BackupListRead, GivesCountAndEntriesWithForwardSeparators) {
    test::WriteFile(path, "3\r\ntexture\\a.bmp\r\nb.bmp\r\nend\r\n");
    std::optional<BackupList> list = BackupList::Read(fs, path);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(list->Entry(2), "texture/a.bmp");
    EXPECT_EQ(list->Entry(3), "b.bmp");
    EXPECT_EQ(list->Entry(4), "end");
    EXPECT_EQ(list->Entry(5), std::nullopt);
    EXPECT_EQ(list->Entry(1), std::nullopt);
}

TEST_F(BackupListRead, EntriesKeepTheirSpaces) {
    test::WriteFile(path, "2\r\n a b.bmp \r\n\r\n");
    std::optional<BackupList> list = BackupList::Read(fs, path);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Entry(2), " a b.bmp ");
    EXPECT_EQ(list->Entry(3), "");
}

TEST_F(BackupListRead, FailsWithoutAFileOrANumber) {
    EXPECT_FALSE(BackupList::Read(fs, path)) << "missing file";
    test::WriteFile(path, "");
    EXPECT_FALSE(BackupList::Read(fs, path)) << "empty file";
    test::WriteFile(path, "abc\r\na.bmp\r\n");
    EXPECT_FALSE(BackupList::Read(fs, path)) << "count not a number";
}

}  // namespace
}  // namespace vrx
