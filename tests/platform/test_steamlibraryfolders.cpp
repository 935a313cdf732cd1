// The reader of Steam's libraryfolders.vdf: both layouts Steam writes, and
// malformed, huge and deeply nested texts that must give nothing, quickly.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/SteamLibraryFolders.h"

namespace vrx {
namespace {

using Paths = std::optional<std::vector<std::string>>;

struct Case {
    const char* name;
    std::string text;
    Paths expected;
};

class LibraryFoldersCases : public ::testing::TestWithParam<Case> {};

TEST_P(LibraryFoldersCases, ReadsPathsOrNothing) {
    EXPECT_EQ(ParseLibraryFolders(GetParam().text), GetParam().expected);
}

const char kCurrent[] = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/pat/.local/share/Steam"
		"label"		""
		"contentid"		"4419221138211045562"
		"totalsize"		"0"
		"apps"
		{
			"228980"		"383446937"
		}
	}
	"1"
	{
		"path"		"/mnt/games/SteamLibrary"
		"label"		"Games \"big\" disk"
		"apps"
		{
			"314160"		"16252211423"
		}
	}
}
)";

const char kOlder[] =
    "\"LibraryFolders\"\r\n{\r\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\r\n\t\"ContentStatsID\"\t\t\"-1\"\r\n"
    "\t\"1\"\t\t\"/media/disk2/Steam\"\r\n\t\"2\"\t\t\"/opt/with\\\\backslash\"\r\n}\r\n";

// A root body and bodies below it, depth in all, the innermost holding one value.
std::string Nested(int depth) {
    std::string text = "\"libraryfolders\"{";
    for (int i = 1; i < depth; ++i) text += "\"k\"{";
    text += "\"k\"\"v\"";
    for (int i = 0; i < depth; ++i) text += "}";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LibraryFoldersCases,
    ::testing::Values(
        Case{"CurrentLayout", kCurrent,
             std::vector<std::string>{"/home/pat/.local/share/Steam", "/mnt/games/SteamLibrary"}},
        Case{"OlderLayout", kOlder, std::vector<std::string>{"/media/disk2/Steam", "/opt/with\\backslash"}},
        Case{"CommentsAndNoLibraries", "// made by hand\n\"libraryfolders\" { }\n", std::vector<std::string>{}},
        Case{"EntryWithoutPath", "\"libraryfolders\" { \"0\" { \"label\" \"x\" } }", std::vector<std::string>{}},
        Case{"ModeratelyNested", Nested(16), std::vector<std::string>{}}, Case{"Empty", "", std::nullopt},
        Case{"OtherRoot", "\"config\" { \"0\" \"/a\" }", std::nullopt},
        Case{"UnclosedBody", "\"libraryfolders\" { \"0\" { \"path\" \"/a\" }", std::nullopt},
        Case{"UnterminatedString", "\"libraryfolders\" { \"0\" \"/a }", std::nullopt},
        Case{"UnquotedKey", "\"libraryfolders\" { 0 \"/a\" }", std::nullopt},
        Case{"KeyWithoutValue", "\"libraryfolders\" { \"0\" }", std::nullopt},
        Case{"TextAfterTheEnd", "\"libraryfolders\" { } \"0\" \"/a\"", std::nullopt},
        Case{"UnknownEscape", "\"libraryfolders\" { \"0\" \"/a\\q\" }", std::nullopt},
        Case{"NulInside", std::string("\"libraryfolders\" { \"0\" \"/a\0b\" }", 30), std::nullopt},
        Case{"ConditionalsAreNotAccepted", "\"libraryfolders\" { \"0\" \"/a\" [$LINUX] }", std::nullopt},
        Case{"TooDeep", Nested(17), std::nullopt}, Case{"ExtremelyDeep", Nested(200000), std::nullopt},
        Case{"OnlyOpeningBraces", "\"libraryfolders\"" + std::string(500000, '{'), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LibraryFolders, HugeTextsAreRefusedWhateverTheyHold) {
    std::string text = "\"libraryfolders\" { \"0\" \"/a\" \"comment\" \"";
    text += std::string((1 << 20), 'x');
    text += "\" }";
    EXPECT_EQ(ParseLibraryFolders(text), std::nullopt);
    // Just under the limit is read.
    std::string fits = "\"libraryfolders\" { \"0\" \"/a\" \"pad\" \"";
    fits += std::string((1 << 20) - fits.size() - 3, 'x');
    fits += "\" }";
    ASSERT_EQ(fits.size(), std::size_t{1} << 20);
    EXPECT_EQ(ParseLibraryFolders(fits), std::vector<std::string>{"/a"});
}

TEST(LibraryFolders, ManyLibrariesAreAllListed) {
    std::string text = "\"libraryfolders\" {";
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        text += "\"" + std::to_string(i) + "\" { \"path\" \"/lib" + std::to_string(i) + "\" }";
        expected.push_back("/lib" + std::to_string(i));
    }
    text += "}";
    EXPECT_EQ(ParseLibraryFolders(text), expected);
}

}  // namespace
}  // namespace vrx
