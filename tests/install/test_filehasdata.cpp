#include <gtest/gtest.h>

#include <functional>

#include "install/FileHasData.h"
#include "platform/FileSystem.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::TempDir;

struct DataCase {
    const char* name;
    std::function<std::string(const TempDir&, LinuxFileSystem&)> make;  // gives the path to test
    bool hasData;
};

TEST(FileHasData, TrueOnlyForAFileLongerThanZeroBytes) {
    const DataCase cases[] = {
        {"OneByte",
         [](const TempDir& d, LinuxFileSystem&) {
             test::WriteFile(d / "one", "x");
             return d / "one";
         },
         true},
        {"ReadOnlyWithData",
         [](const TempDir& d, LinuxFileSystem& fs) {
             test::WriteFile(d / "ro", "data");
             fs.setAttributes(d / "ro", AttrReadOnly);
             return d / "ro";
         },
         true},
        {"Empty",
         [](const TempDir& d, LinuxFileSystem&) {
             test::WriteFile(d / "empty", "");
             return d / "empty";
         },
         false},
        {"Missing", [](const TempDir& d, LinuxFileSystem&) { return d / "missing"; }, false},
        {"InMissingFolder", [](const TempDir& d, LinuxFileSystem&) { return d / "no/such/file"; }, false},
        {"Folder",
         [](const TempDir& d, LinuxFileSystem&) {
             test::MakeDirs(d / "sub");
             return d / "sub";
         },
         false},
    };
    for (const DataCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        LinuxFileSystem fs;
        const std::string path = c.make(dir, fs);
        EXPECT_EQ(FileHasData(fs, path), c.hasData);
    }
}

}  // namespace
}  // namespace vrx
