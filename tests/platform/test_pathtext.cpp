#include "platform/PathText.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

struct TextCase {
    const char* input;
    const char* expected;
};

TEST(PathText, CollapseSeparatorsReplacesPairsInOnePass) {
    const TextCase cases[] = {
        {"a//b", "a/b"},   {"a///b", "a//b"},  {"a////b", "a//b"}, {"a/////b", "a///b"}, {"/", "/"},
        {"//", "/"},       {"///", "//"},      {"", ""},           {"a/b", "a/b"},       {"/a//b//", "/a/b/"},
        {"C://x", "C:/x"}, {"a\\\\b", "a\\\\b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(CollapseSeparators(c.input), c.expected);
    }
}

TEST(PathText, JoinsWithOneSeparator) {
    EXPECT_EQ(JoinPath("/fsx", "texture"), "/fsx/texture");
    EXPECT_EQ(JoinPath("/", "texture"), "//texture");  // nothing collapsed
    EXPECT_EQ(JoinPath("", "a"), "/a");
    EXPECT_EQ(JoinCollapsed("/", "texture"), "/texture");
    EXPECT_EQ(JoinCollapsed("/fsx/", "/texture"), "/fsx//texture");  // "///" keeps two
    EXPECT_EQ(JoinCollapsed("/fsx/", "texture"), "/fsx/texture");
}

TEST(PathText, DataPathTurnsBackslashesIntoSlashes) {
    const TextCase cases[] = {
        {"texture\\a.bmp", "texture/a.bmp"}, {"\\x\\", "/x/"}, {"a/b", "a/b"}, {"", ""}, {"\\\\", "//"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(DataPath(c.input), c.expected);
    }
}

TEST(PathText, HasParentComponentFindsDotDotWithEitherSeparator) {
    struct Case {
        const char* path;
        bool expected;
    };
    const Case cases[] = {
        {"..", true},         {"../a", true},     {"a/..", true},       {"a/../b", true},  {"a\\..\\b", true},
        {"..\\a", true},      {"a\\..", true},    {"a/..\\b", true},    {"/../", true},    {"a", false},
        {"", false},          {"...", false},     {"a..b", false},      {"..a", false},    {"a../b", false},
        {"texture\\x.bmp", false}, {".", false}, {"./a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(HasParentComponent(c.path), c.expected);
    }
}

}  // namespace
}  // namespace vrx
