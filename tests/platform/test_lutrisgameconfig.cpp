// The reader of a Lutris game's file: the `prefix` of its `game` section as
// the launcher's YAML writer lays it out (plain, quoted, folded over lines,
// escaped), nothing where the file records none or hides the key inside
// other text, and a refusal of whatever it does not take, quickly.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "platform/linux/LutrisGameConfig.h"

namespace vrx {
namespace {

using Prefix = std::optional<std::string>;

struct Case {
    const char* name;
    std::string text;
    Prefix expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class GamePrefixCases : public ::testing::TestWithParam<Case> {};

TEST_P(GamePrefixCases, ReadsThePrefixOrNothing) {
    EXPECT_EQ(ReadLutrisGamePrefix(GetParam().text), GetParam().expected);
}

// A game's file as the launcher writes it, keys sorted, lines folded at 80 columns.
const char kWritten[] =
    "game:\n"
    "  exe: /home/pat/Games/fsx/drive_c/Program Files (x86)/Microsoft Games/Microsoft Flight\n"
    "    Simulator X/fsx.exe\n"
    "  prefix: /home/pat/Games/fsx\n"
    "game_slug: microsoft-flight-simulator-x\n"
    "name: Microsoft Flight Simulator X\n"
    "runner: wine\n"
    "system: {}\n"
    "wine:\n"
    "  version: lutris-7.2-2-x86_64\n";

// Other sections first, holding lists, a block of text and quoted values that mention the key.
const char kBusy[] =
    "system:\n"
    "  env:\n"
    "    DXVK_HUD: '1'\n"
    "    NOTE: 'game:'\n"
    "  args:\n"
    "  - -fps\n"
    "  - \"prefix: /not/this\"\n"
    "  notes: |\n"
    "    game:\n"
    "      prefix: /not/this/either\n"
    "game:\n"
    "  args:\n"
    "  - -window\n"
    "  prefix: /opt/fsx\n"
    "  working_dir: /opt/fsx/drive_c\n";

std::string NestedMappings(int depth) {
    std::string text = "game:\n  prefix: /opt/fsx\nother:\n";
    for (int i = 1; i <= depth; ++i) text += std::string(static_cast<std::size_t>(2 * i), ' ') + "k:\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GamePrefixCases,
    ::testing::Values(
        Case{"AsTheLauncherWritesIt", kWritten, "/home/pat/Games/fsx"},
        Case{"FoldedOverTwoLines",
             "game:\n  prefix: /home/pat/very long path with spaces/and more spaces here/Microsoft Flight\n"
             "    Simulator X/pfx\n",
             "/home/pat/very long path with spaces/and more spaces here/Microsoft Flight Simulator X/pfx"},
        Case{"EmptyLinesInAFoldBecomeLineBreaks", "game:\n  prefix: /a\n\n\n    b\n", "/a\n\nb"},
        Case{"DoubleQuotedWithEscapes", "game:\n  prefix: \"/home/pat/Jeux/simulateur \\xE9 \\u00e9\\U0001F600\\t\"\n",
             "/home/pat/Jeux/simulateur \xc3\xa9 \xc3\xa9\xf0\x9f\x98\x80\t"},
        Case{"DoubleQuotedBrokenWithBackslashes",
             "game:\n  prefix: \"/\\xE9/\\xE9/\\xE9\\\n    /\\xE9/\\xE9\\\n    /\\xE9\"\n",
             "/\xc3\xa9/\xc3\xa9/\xc3\xa9/\xc3\xa9/\xc3\xa9/\xc3\xa9"},
        Case{"DoubleQuotedFoldKeepsEscapedBlanks", "game:\n  prefix: \"/a \\  \n  b\"\n", "/a   b"},
        Case{"SingleQuotedWithColonAndHash", "game:\n  prefix: '/home/pat/a: b #c'\n", "/home/pat/a: b #c"},
        Case{"SingleQuotedQuoteDoubled", "game:\n  prefix: '/home/pat/it''s'\n", "/home/pat/it's"},
        Case{"SingleQuotedFolded", "game:\n  prefix: '/a  \n\n\n  b  '\n", "/a\n\nb  "},
        Case{"QuotedTilde", "game:\n  prefix: '~'\n", "~"},
        Case{"PlainTildePath", "game:\n  prefix: ~/Games/fsx\n", "~/Games/fsx"},
        Case{"CommentsCarriageReturnsAndTrailingBlanks",
             "# made by hand\r\ngame:  # the game\r\n  # its prefix:\r\n  prefix: /opt/fsx  # here\r\n", "/opt/fsx"},
        Case{"CommentAfterQuotedValue", "game:\n  prefix: '/opt/fsx' # here\n", "/opt/fsx"},
        Case{"HashWithoutBlankIsText", "game:\n  prefix: /opt/fsx#1\n", "/opt/fsx#1"},
        Case{"IndentedByFour", "game:\n    prefix: /opt/fsx\nwine: {}\n", "/opt/fsx"},
        Case{"OtherSectionsListsAndBlocks", kBusy, "/opt/fsx"},
        Case{"DocumentStartAndByteOrderMark", "\xEF\xBB\xBF---\ngame:\n  prefix: /opt/fsx\n", "/opt/fsx"},
        Case{"OnALineOfItsOwn", "game:\n  prefix:\n    /opt/fsx\n", "/opt/fsx"},
        Case{"QuotedKeys", "\"game\":\n  'prefix': /opt/fsx\n", "/opt/fsx"},
        Case{"KeyWithBlankBeforeColon", "game :\n  prefix : /opt/fsx\n", "/opt/fsx"},
        Case{"NoFinalLineBreak", "game:\n  prefix: /opt/fsx", "/opt/fsx"},
        Case{"ModeratelyNested", NestedMappings(60), "/opt/fsx"},
        // Files that record no prefix.
        Case{"NoGameSection", "system: {}\nwine:\n  prefix: /opt/fsx\n", std::nullopt},
        Case{"PrefixOutsideTheGameSection", "prefix: /opt/fsx\n", std::nullopt},
        Case{"PrefixNestedDeeperInTheGameSection", "game:\n  wine:\n    prefix: /opt/fsx\n", std::nullopt},
        Case{"NullPrefix", "game:\n  prefix: ~\n", std::nullopt},
        Case{"NullWordPrefix", "game:\n  prefix: null\n", std::nullopt},
        Case{"EmptyPrefix", "game:\n  prefix:\n", std::nullopt},
        Case{"EmptyQuotedPrefix", "game:\n  prefix: ''\n", std::nullopt},
        Case{"EmptyGameSection", "game: {}\nsystem: {}\n", std::nullopt}, Case{"EmptyFile", "", std::nullopt},
        Case{"OnlyComments", "# nothing\n\n", std::nullopt},
        Case{"PrefixInsideAnotherKeysQuotedText", "game:\n  exe: \"/a\n  prefix: /opt/fsx\"\n", std::nullopt},
        Case{"PrefixInsideAnotherKeysSingleQuotedText", "game:\n  exe: '/a\nprefix: /opt/fsx'\n", std::nullopt},
        Case{"PrefixInsideABlockOfText", "game:\n  notes: >-\n    prefix: /opt/fsx\n", std::nullopt},
        // Files refused.
        Case{"PrefixTwice", "game:\n  prefix: /a\n  prefix: /b\n", std::nullopt},
        Case{"GameTwice", "game:\n  prefix: /a\ngame:\n  prefix: /b\n", std::nullopt},
        Case{"TabIndentation", "game:\n\tprefix: /opt/fsx\n", std::nullopt},
        Case{"TabAfterColon", "game:\n  prefix:\t/opt/fsx\n", std::nullopt},
        Case{"FlowMapping", "game: {prefix: /opt/fsx}\n", std::nullopt},
        Case{"Anchor", "game:\n  prefix: &p /opt/fsx\n", std::nullopt},
        Case{"Tag", "game:\n  prefix: !!str /opt/fsx\n", std::nullopt},
        Case{"PrefixIsAMapping", "game:\n  prefix:\n    path: /opt/fsx\n", std::nullopt},
        Case{"PrefixIsAList", "game:\n  prefix:\n  - /opt/fsx\n", std::nullopt},
        Case{"PrefixIsABlockOfText", "game:\n  prefix: |\n    /opt/fsx\n", std::nullopt},
        Case{"GameIsAList", "game:\n- prefix: /opt/fsx\n", std::nullopt},
        Case{"GameIsText", "game: /opt/fsx\n", std::nullopt},
        Case{"UnterminatedQuote", "game:\n  prefix: '/opt/fsx\n", std::nullopt},
        Case{"TextAfterClosingQuote", "game:\n  prefix: '/opt'fsx\n", std::nullopt},
        Case{"UnknownEscape", "game:\n  prefix: \"/opt\\qfsx\"\n", std::nullopt},
        Case{"SurrogateEscape", "game:\n  prefix: \"/opt\\uD800\"\n", std::nullopt},
        Case{"ShortHexEscape", "game:\n  prefix: \"/opt\\x4\"\n", std::nullopt},
        Case{"MappingInsideAValue", "game:\n  prefix: /opt: fsx\n", std::nullopt},
        Case{"KeysAtTwoIndentations", "game:\n    prefix: /opt/fsx\n  other: 1\n", std::nullopt},
        Case{"ContinuationAfterAComment", "game:\n  prefix: /opt\n  # c\n   fsx\n", std::nullopt},
        Case{"NestedBelowAQuotedValue", "game:\n  prefix: '/opt'\n    fsx: 1\n", std::nullopt},
        Case{"SecondDocument", "game:\n  prefix: /a\n---\ngame:\n  prefix: /b\n", std::nullopt},
        Case{"NotUtf8", "game:\n  prefix: /opt/fsx\xff\n", std::nullopt},
        Case{"NulByte", std::string("game:\n  prefix: /opt/f") + '\0' + "sx\n", std::nullopt},
        Case{"ControlCharacter", "game:\n  prefix: /opt/f\x01sx\n", std::nullopt},
        Case{"LoneCarriageReturn", "game:\r  prefix: /opt/fsx\n", std::nullopt},
        Case{"TooDeep", NestedMappings(70), std::nullopt},
        Case{"ExtremelyDeepOnOneLine",
             "game:\n  prefix: /opt/fsx\nx:\n" +
                 [] {
                     std::string line;
                     for (int i = 0; i < 100000; ++i) line += "- ";
                     return line + "x\n";
                 }(),
             std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GamePrefix, HugeTextsAreRefusedWhateverTheyHold) {
    const std::string head = "game:\n  prefix: /opt/fsx\nnotes: '";
    std::string fits = head + std::string(kMaxLutrisGameConfigText - head.size() - 2, 'x') + "'\n";
    ASSERT_EQ(fits.size(), std::size_t{256} << 10);
    EXPECT_EQ(ReadLutrisGamePrefix(fits), "/opt/fsx");
    fits.insert(head.size(), "x");
    EXPECT_EQ(ReadLutrisGamePrefix(fits), std::nullopt);
}

TEST(GamePrefix, ManyOtherKeysAndLongFoldsAreRead) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "key" + std::to_string(i) + ": value " + std::to_string(i) + "\n";
    text += "game:\n  prefix: /opt";
    for (int i = 0; i < 5000; ++i) text += "\n    part";
    text += "\n";
    std::string expected = "/opt";
    for (int i = 0; i < 5000; ++i) expected += " part";
    EXPECT_EQ(ReadLutrisGamePrefix(text), expected);
}

struct FolderCase {
    const char* name;
    std::string value;
    std::optional<std::string> expected;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class PrefixFolderCases : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PrefixFolderCases, NamesAnAbsoluteFolder) {
    EXPECT_EQ(LutrisPrefixFolder(GetParam().value, "/home/pat"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrefixFolderCases,
    ::testing::Values(
        FolderCase{"Absolute", "/home/pat/Games/fsx", "/home/pat/Games/fsx"},
        FolderCase{"TrailingSlashes", "/home/pat/Games/fsx//", "/home/pat/Games/fsx"}, FolderCase{"Root", "/", "/"},
        FolderCase{"Tilde", "~", "/home/pat"}, FolderCase{"TildePath", "~/Games/fsx", "/home/pat/Games/fsx"},
        FolderCase{"OtherUsersHome", "~sam/Games", std::nullopt}, FolderCase{"Relative", "Games/fsx", std::nullopt},
        FolderCase{"DotRelative", "./fsx", std::nullopt}, FolderCase{"WindowsPath", "C:\\Games\\fsx", std::nullopt},
        FolderCase{"Empty", "", std::nullopt}, FolderCase{"LineBreak", "/opt/a\nb", std::nullopt},
        FolderCase{"Nul", std::string("/opt/a\0b", 8), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vrx
