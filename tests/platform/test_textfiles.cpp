#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "OpenCue.h"
#include "PlatformFiles.h"
#include "platform/TextLines.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ReadFile;
using test::WriteFile;

class TextFiles : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxFileSystem fs;
    std::string file = dir / "settings.cfg";
};

TEST_F(TextFiles, EveryByteValueRoundTripsThroughAFile) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') bytes += static_cast<char>(b);
    }
    bytes += "\r\n";
    WriteFile(file, bytes);

    const auto text = fs.readTextLines(file);
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->complete);
    ASSERT_EQ(text->lines.size(), 1u);
    EXPECT_NE(text->lines[0].find("€"), std::string::npos);
    EXPECT_NE(text->lines[0].find("ÿ"), std::string::npos);

    const std::string copy = dir / "copy.cfg";
    ASSERT_EQ(fs.writeTextFile(copy, text->lines), WriteResult::Ok);
    EXPECT_EQ(ReadFile(copy), bytes);
}

TEST_F(TextFiles, LinesEndAtCrOrCrLfButNotAtALoneLf) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"cr", "a\rb\r", {"a", "b"}},
        {"lone lf stays", "a\nb\r\n", {"a\nb"}},
        {"only lf", "\n", {"\n"}},
        {"one line", "a\r\n", {"a"}},
        {"last line without end", "a\r\nb", {"a", "b"}},
        {"no end at all", "a", {"a"}},
        {"empty file", "", {}},
        {"one empty line", "\r\n", {""}},
        {"cr then crlf", "a\r\r\nb", {"a", "", "b"}},
        {"lf before cr", "a\n\rb", {"a\n", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(file, c.bytes);
        const auto text = fs.readTextLines(file);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->lines, c.lines);
    }
}

TEST_F(TextFiles, WritesEachLineWithCrLf) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::string bytes;
    };
    const Case cases[] = {
        {"two lines", {"FSPath=C:\\FSX", "norbackup="}, "FSPath=C:\\FSX\r\nnorbackup=\r\n"},
        {"no lines", {}, ""},
        {"one empty line", {""}, "\r\n"},
        {"latin text", {"Zürich €"}, "Z\xFCrich \x80\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(fs.writeTextFile(file, c.lines), WriteResult::Ok);
        EXPECT_EQ(ReadFile(file), c.bytes);
    }
    EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"settings.cfg"});
}

TEST_F(TextFiles, AppendCreatesTheFileThenAddsLines) {
    const std::string history = dir / "history.txt";
    ASSERT_EQ(fs.appendTextLine(history, "first"), WriteResult::Ok);
    ASSERT_EQ(fs.appendTextLine(history, "zweite Zeile ä"), WriteResult::Ok);
    EXPECT_EQ(ReadFile(history), "first\r\nzweite Zeile \xE4\r\n");
}

TEST_F(TextFiles, UnencodableTextIsRefusedAndNothingIsWritten) {
    WriteFile(file, "old\r\n");
    EXPECT_EQ(fs.writeTextFile(file, {"fine", "Ωmega"}), WriteResult::Unencodable);
    EXPECT_EQ(fs.appendTextLine(file, "\xC3"), WriteResult::Unencodable);
    EXPECT_EQ(ReadFile(file), "old\r\n");

    const std::string missing = dir / "new.cfg";
    EXPECT_EQ(fs.writeTextFile(missing, {"中"}), WriteResult::Unencodable);
    EXPECT_EQ(fs.appendTextLine(missing, "中"), WriteResult::Unencodable);
    EXPECT_FALSE(test::PathExists(missing));
    EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"settings.cfg"});
}

TEST_F(TextFiles, ReadOnlyFilesAreNotWrittenEvenByRoot) {
    WriteFile(file, "old\r\n");
    test::SetMode(file, 0444);
    EXPECT_EQ(fs.writeTextFile(file, {"new"}), WriteResult::Failed);
    EXPECT_EQ(fs.appendTextLine(file, "more"), WriteResult::Failed);
    EXPECT_EQ(ReadFile(file), "old\r\n");
    EXPECT_TRUE(test::TemporariesIn(dir.path()).empty());
}

TEST_F(TextFiles, FoldersAreNeitherReadNorWritten) {
    test::MakeDirs(dir / "folder");
    EXPECT_FALSE(fs.readTextLines(dir / "folder").has_value());
    EXPECT_EQ(fs.writeTextFile(dir / "folder", {"x"}), WriteResult::Failed);
    EXPECT_EQ(fs.appendTextLine(dir / "folder", "x"), WriteResult::Failed);
    EXPECT_FALSE(fs.readTextLines(dir / "missing.cfg").has_value());
}

TEST_F(TextFiles, ReplacedFileKeepsItsPermissionsAndAttributes) {
    WriteFile(file, "old\r\n");
    test::SetMode(file, 0640);
    test::SetRawDosAttrib(file, "0x20");
    ASSERT_EQ(fs.writeTextFile(file, {"new"}), WriteResult::Ok);
    EXPECT_EQ(ReadFile(file), "new\r\n");
    EXPECT_EQ(test::ModeOf(file), 0640u);
    EXPECT_EQ(test::RawDosAttrib(file), "0x20");
}

TEST_F(TextFiles, WriteThroughALinkReplacesTheFileItNames) {
    WriteFile(dir / "real.cfg", "old\r\n");
    ASSERT_EQ(symlink("real.cfg", file.c_str()), 0);
    ASSERT_EQ(fs.writeTextFile(file, {"new"}), WriteResult::Ok);
    EXPECT_EQ(ReadFile(dir / "real.cfg"), "new\r\n");
    struct stat st {};
    ASSERT_EQ(lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(TextFiles, InterruptedWriteLeavesTheOldFileWhole) {
    WriteFile(file, "old line\r\n");
    EXPECT_EXIT(
        {
            fs.setBeforeRenameHookForTesting([] { _exit(3); });
            fs.writeTextFile(file, {"new line", "and another"});
            _exit(0);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(ReadFile(file), "old line\r\n");
    const auto leftovers = test::TemporariesIn(dir.path());
    ASSERT_EQ(leftovers.size(), 1u);
    EXPECT_EQ(ReadFile(dir / leftovers[0]), "new line\r\nand another\r\n");  // complete, just not in place

    fs.removeLeftoverTemporaries(dir.path());
    EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"settings.cfg"});
}

// A file that claims a size no data file of ours has (here a sparse one of
// 100 GB, which costs no disk) is refused, not read into memory.
TEST_F(TextFiles, AFileFarLargerThanADataFileIsRefusedLikeAnUnreadableOne) {
    const std::string file = dir / "settings.cfg";
    WriteFile(file, "fspath=C:\\FSX\r\n");
    ASSERT_EQ(truncate(file.c_str(), off_t{100} << 30), 0);
    EXPECT_FALSE(fs.readTextLines(file));
    ASSERT_EQ(truncate(file.c_str(), 15), 0);
    const auto small = fs.readTextLines(file);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->lines, std::vector<std::string>{"fspath=C:\\FSX"});
}

TEST_F(TextFiles, PipesAndDevicesAreNeitherReadNorAppendedTo) {
    const std::string fifo = dir / "backup.lst";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string zero = dir / "zero.lst";
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
    const std::string null = dir / "history.txt";
    ASSERT_EQ(symlink("/dev/null", null.c_str()), 0);
    // In a child that an alarm ends, so that a reader waiting on the pipe fails instead of hanging.
    EXPECT_EXIT(
        {
            alarm(10);
            const bool refused = !fs.readTextLines(fifo) && !fs.readTextLines(zero) && !fs.readTextLines(null) &&
                                 fs.appendTextLine(fifo, "line") == WriteResult::Failed &&
                                 fs.appendTextLine(null, "line") == WriteResult::Failed;
            _exit(refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The reader itself: a read that fails after some bytes keeps the lines that
// ended before the failure and never the one it cut off.
TEST_F(TextFiles, AReadFailingPartWayKeepsOnlyTheLinesThatEnded) {
    struct Case {
        const char* name;
        std::size_t deliveredBytes;  // what the reads give before the failure
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"cut inside the second line", 28, {"ReadOverwrite=1"}},
        {"cut inside the first line", 5, {}},
        {"cut right after the second line end", 36, {"ReadOverwrite=1", "FSPath=/games/fsx"}},
    };
    WriteFile(file, "ReadOverwrite=1\r\nFSPath=/games/fsx\r\nBackupPath=/b\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::size_t left = c.deliveredBytes;
        fs.setReadForTesting([&left](int fd, char* buffer, std::size_t size) -> ssize_t {
            if (left == 0) {
                errno = EIO;
                return -1;
            }
            const ssize_t got = ::read(fd, buffer, std::min(size, left));
            if (got > 0) left -= static_cast<std::size_t>(got);
            return got;
        });
        const auto text = fs.readTextLines(file);
        ASSERT_TRUE(text.has_value());
        EXPECT_FALSE(text->complete);
        EXPECT_EQ(text->lines, c.lines);
    }
}

TEST(EndedLinesOf, DropsTheLineAReadFailureCutOff) {
    struct Case {
        const char* name;
        std::string text;
        std::string ended;
    };
    const Case cases[] = {
        {"cut inside a line", "ReadOverwrite=1\r\nFSPath=/gam", "ReadOverwrite=1\r\n"},
        {"cut inside the first line", "FSPath=/gam", ""},
        {"cut right after a CR LF", "a=1\r\nb=2\r\n", "a=1\r\nb=2\r\n"},
        {"cut between CR and LF", "a=1\r\nb=2\r", "a=1\r\nb=2\r"},
        {"a lone CR ends a line", "a=1\rb=2", "a=1\r"},
        {"a lone LF does not", "a=1\r\nb=2\nc", "a=1\r\n"},
        {"nothing read", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EndedLinesOf(c.text), c.ended);
    }
}

TEST_F(TextFiles, FailedWriteLeavesTheOldFileWhole) {
    WriteFile(file, "old\r\n");
    const std::vector<std::string> longLines(50, "a line that will not fit");
    EXPECT_EXIT(
        {
            test::LimitFileSize(64);
            _exit(fs.writeTextFile(file, longLines) == WriteResult::Failed ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile(file), "old\r\n");
    EXPECT_TRUE(test::TemporariesIn(dir.path()).empty());
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A failed append leaves the history as it was: no half line, no file it
// made itself, and a link at the name stays the link it was.
TEST_F(TextFiles, FailedAppendLeavesNoHalfLine) {
    struct Case {
        const char* name;
        std::function<void(const std::string& history, const std::string& elsewhere)> layDown;
        std::vector<std::string> namesAfter;
        std::optional<std::string> contentAfter;  // of the history (through a link); nullopt: no such file
    };
    const Case cases[] = {
        {"a history with lines",
         [](const std::string& h, const std::string&) { WriteFile(h, "one\r\n"); },
         {"history.txt"},
         "one\r\n"},
        {"no history yet", [](const std::string&, const std::string&) {}, {}, std::nullopt},
        {"a link to a history not made yet",
         [](const std::string& h, const std::string& e) { ASSERT_EQ(symlink(e.c_str(), h.c_str()), 0); },
         {"history.txt"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        const std::string history = d / "app/history.txt";
        const std::string elsewhere = d / "elsewhere.txt";
        test::MakeDirs(d / "app");
        c.layDown(history, elsewhere);
        const bool wasLink = IsLink(history);
        EXPECT_EXIT(
            {
                test::LimitFileSize(16);
                _exit(fs.appendTextLine(history, std::string(40, 'x')) == WriteResult::Failed ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
        EXPECT_EQ(test::ListNames(d / "app"), c.namesAfter);
        EXPECT_EQ(IsLink(history), wasLink);
        if (c.contentAfter) {
            EXPECT_EQ(ReadFile(history), *c.contentAfter);
        } else {
            EXPECT_FALSE(test::PathExists(history));
        }
    }
}

// Another program makes the history between the append's look (no file yet)
// and its open: the line joins that program's file, and an append that then
// fails leaves the file as that program made it; only a file the append made
// itself is removed.
TEST_F(TextFiles, AHistoryMadeByAnotherProgramDuringTheAppendIsItsFile) {
    struct Case {
        const char* name;
        rlim_t sizeLimit;  // 0: none
        WriteResult result;
        std::string contentAfter;
    };
    const Case cases[] = {
        {"the line fits", 0, WriteResult::Ok, "someone else's\r\nours\r\n"},
        {"the disk is full after that program's line", 16, WriteResult::Failed, "someone else's\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        test::MakeDirs(d / "app");
        const std::string history = d / "app/history.txt";
        const test::CuedRun run = test::RunWithCueBeforeOpen(
            history, [&] { WriteFile(history, "someone else's\r\n"); },
            [&] {
                if (c.sizeLimit != 0) test::LimitFileSize(c.sizeLimit);
                return fs.appendTextLine(history, "ours") == c.result ? 0 : 1;
            });
        EXPECT_GE(run.cues, 1);  // the other program did come between the look and the open
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(test::ListNames(d / "app"), std::vector<std::string>{"history.txt"});
        if (test::PathExists(history)) {
            EXPECT_EQ(ReadFile(history), c.contentAfter);
        }
    }
}

}  // namespace
}  // namespace vrx
