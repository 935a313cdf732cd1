#include <gtest/gtest.h>

#include "config/VersionText.h"

namespace vrx {
namespace {

TEST(VersionText, JoinsMinorAndRevisionWithoutSeparator) {
    struct Case {
        int major, minor, revision;
        const char* expected;
    };
    const Case cases[] = {
        {1, 0, 8, "1.08"},
        {2, 1, 13, "2.113"},
        {0, 0, 0, "0.00"},
        {10, 12, 0, "10.120"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(VersionText(c.major, c.minor, c.revision), c.expected);
    }
}

TEST(VersionText, ProgramVersionIsTheProjectVersion) {
    EXPECT_EQ(ProgramVersionText(), "1.08");  // the project's version 1.0.8
}

}  // namespace
}  // namespace vrx
