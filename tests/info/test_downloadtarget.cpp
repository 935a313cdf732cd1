// The name a download is saved under: the server's suggestion, cut to a
// plain file name, and never the name of a file already there.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "info/DownloadTarget.h"

namespace vrx {
namespace {

TEST(DownloadTargetTest, FreeNames) {
    struct Case {
        const char* name;
        const char* suggested;
        std::set<std::string> present;
        const char* expected;
    };
    const Case cases[] = {
        {"free name kept", "setup.exe", {}, "setup.exe"},
        {"taken name numbered", "setup.exe", {"setup.exe"}, "setup (1).exe"},
        {"next free number", "setup.exe", {"setup.exe", "setup (1).exe", "setup (2).exe"}, "setup (3).exe"},
        {"no extension", "README", {"README"}, "README (1)"},
        {"only an extension", ".profile", {".profile"}, ".profile (1)"},
        {"two dots", "vrx.1.09.exe", {"vrx.1.09.exe"}, "vrx.1.09 (1).exe"},
        {"folders cut off", "../../etc/passwd", {}, "passwd"},
        {"backslashes cut off", "..\\..\\setup.exe", {}, "setup.exe"},
        {"nothing left", "files/", {}, "download"},
        {"dot dot", "..", {}, "download"},
        {"empty", "", {"download"}, "download (1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto exists = [&](const std::string& name) { return c.present.count(name) > 0; };
        EXPECT_EQ(FreeDownloadName(c.suggested, exists), c.expected);
    }
}

}  // namespace
}  // namespace vrx
