#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/linux/BundleCheck.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::MakeDirs;
using test::TempDir;
using test::WriteFile;

// A bundle's folder with a file list and the files it names.
void LayRuntime(const TempDir& dir, const std::string& list) {
    WriteFile(dir / "verdantis-runtime/files.txt", list);
    WriteFile(dir / "verdantis-runtime/verdantis", "program");
    WriteFile(dir / "verdantis-runtime/qt.conf", "[Paths]\n");
    WriteFile(dir / "verdantis-runtime/lib/libQt6Core.so.6", "library");
}

constexpr const char* kList = "# comment\nglibc 2.36\nverdantis\nqt.conf\nlib/libQt6Core.so.6\n";

TEST(BundleProblem, NoneWhenEveryListedFileIsThere) {
    TempDir dir;
    LayRuntime(dir, kList);
    EXPECT_EQ(BundleProblem(dir.path(), "2.36"), "");
    EXPECT_EQ(BundleProblem(dir.path(), "2.41"), "");
}

TEST(BundleProblem, NamesTheMissingFolder) {
    TempDir dir;
    WriteFile(dir / "verdantis", "starter");
    EXPECT_EQ(BundleProblem(dir.path(), "2.36"),
              "The folder \"verdantis-runtime\" is missing from " + dir.path() +
                  ". It holds the libraries and files the program needs, and must stay beside \"verdantis\". "
                  "Unpack the whole archive into this folder again.");
    // A file of that name is no folder.
    WriteFile(dir / "verdantis-runtime", "");
    EXPECT_NE(BundleProblem(dir.path(), "2.36").find("\"verdantis-runtime\" is missing"), std::string::npos);
}

TEST(BundleProblem, NamesTheMissingFileList) {
    TempDir dir;
    MakeDirs(dir / "verdantis-runtime");
    EXPECT_EQ(BundleProblem(dir.path(), "2.36"), "The list of the program's files, " + dir.path() +
                                                     "/verdantis-runtime/files.txt, is missing. Unpack the whole "
                                                     "archive into this folder again.");
}

TEST(BundleProblem, NamesTheOneMissingFile) {
    TempDir dir;
    LayRuntime(dir, kList);
    ASSERT_EQ(::unlink((dir / "verdantis-runtime/lib/libQt6Core.so.6").c_str()), 0);
    EXPECT_EQ(BundleProblem(dir.path(), "2.36"), "A file the program needs is missing from " + dir.path() +
                                                     "/verdantis-runtime:\n  lib/libQt6Core.so.6\n"
                                                     "Unpack the whole archive into this folder again.");
}

TEST(BundleProblem, CountsFilesBeyondTheTwelveItNames) {
    TempDir dir;
    std::string list = "glibc 2.36\r\n";  // a list that went through a Windows tool still reads
    for (int i = 1; i <= 14; ++i) list += "lib/lib" + std::to_string(i) + ".so\r\n";
    LayRuntime(dir, list);
    const std::string problem = BundleProblem(dir.path(), "2.36");
    EXPECT_EQ(problem.rfind("14 files the program needs are missing from " + dir.path() + "/verdantis-runtime:\n", 0),
              0u)
        << problem;
    EXPECT_NE(problem.find("  lib/lib12.so\n  and 2 more\nUnpack the whole archive"), std::string::npos) << problem;
    EXPECT_EQ(problem.find("lib13.so"), std::string::npos) << problem;
}

TEST(BundleProblem, AFolderOrADanglingLinkInAFilesPlaceIsMissing) {
    TempDir dir;
    LayRuntime(dir, kList);
    ASSERT_EQ(::unlink((dir / "verdantis-runtime/qt.conf").c_str()), 0);
    MakeDirs(dir / "verdantis-runtime/qt.conf");
    ASSERT_EQ(::unlink((dir / "verdantis-runtime/lib/libQt6Core.so.6").c_str()), 0);
    ASSERT_EQ(::symlink("libQt6Core.so.6.4.2", (dir / "verdantis-runtime/lib/libQt6Core.so.6").c_str()), 0);
    EXPECT_EQ(BundleProblem(dir.path(), "2.36"), "2 files the program needs are missing from " + dir.path() +
                                                     "/verdantis-runtime:\n  qt.conf\n  lib/libQt6Core.so.6\n"
                                                     "Unpack the whole archive into this folder again.");
}

TEST(BundleProblem, NamesTheCLibraryTheSystemLacks) {
    TempDir dir;
    LayRuntime(dir, kList);
    EXPECT_EQ(BundleProblem(dir.path(), "2.35"),
              "The program needs the GNU C library (glibc) 2.36 or newer; this system has 2.35.");
    EXPECT_EQ(BundleProblem(dir.path(), "2.4"),
              "The program needs the GNU C library (glibc) 2.36 or newer; this system has 2.4.");
}

TEST(VersionAtLeast, ComparesNumberByNumber) {
    struct Case {
        const char* version;
        const char* required;
        bool atLeast;
    };
    const Case cases[] = {
        {"2.36", "2.36", true},  {"2.41", "2.36", true},   {"2.35", "2.36", false}, {"2.4", "2.36", false},
        {"3.0", "2.36", true},   {"2.36.1", "2.36", true}, {"2", "2.36", false},    {"2.36", "2.36.1", false},
        {"2.40-9", "2.36", true}, {"2.3x", "2.36", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VersionAtLeast(c.version, c.required), c.atLeast) << c.version << " vs " << c.required;
    }
}

}  // namespace
}  // namespace vrx
