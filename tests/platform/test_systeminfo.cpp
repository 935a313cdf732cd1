#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "platform/Clock.h"
#include "platform/linux/AppFolder.h"

namespace vrx {
namespace {

TEST(ExecutableFolder, IsTheFolderHoldingTheRunningProgram) {
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_NE(folder.back(), '/');
    struct stat st {};
    ASSERT_EQ(stat((folder + "/test_systeminfo").c_str(), &st), 0) << folder;
    EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST(SystemClock, GivesTheLocalTimeOfNow) {
    const std::time_t before = std::time(nullptr);
    std::tm now = SystemClock().localNow();
    const std::time_t after = std::time(nullptr);
    const std::time_t back = std::mktime(&now);  // mktime reads local time
    EXPECT_GE(back, before);
    EXPECT_LE(back, after);
}

}  // namespace
}  // namespace vrx
