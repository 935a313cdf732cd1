// Copies in a run reuse the inode of each replaced file for the next copy into
// the same folder. These tests check that nothing of a replaced file leaks into
// the next copy, and that a file with another name anywhere (a link, a hard
// link) is never written through.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PlatformFiles.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ListNames;
using test::RawDosAttrib;
using test::ReadFile;
using test::SetRawDosAttrib;
using test::TemporariesIn;
using test::WriteFile;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

// Holds a file open, so that its inode number stays its own while the test looks.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        EXPECT_GE(fd_, 0) << path;
    }
    ~HeldOpen() { close(fd_); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    ino_t Inode() const {
        struct stat st {};
        EXPECT_EQ(fstat(fd_, &st), 0);
        return st.st_ino;
    }
    // The file's content now, whatever name it has or lost.
    std::string Content() const { return ReadFile("/proc/self/fd/" + std::to_string(fd_)); }

private:
    int fd_;
};

// A file outside the target folder that must come out of every copy exactly as it went in.
struct Bystander {
    std::string folder;
    std::string path;
    explicit Bystander(const std::string& where) : folder(where), path(where + "/other.bmp") {
        WriteFile(path, "not yours");
        SetRawDosAttrib(path, "0x21");
        test::SetMode(path, 0640);
        test::SetModified(path, 1'100'000'000, 0);
    }
    void ExpectUntouched() const {
        EXPECT_EQ(ReadFile(path), "not yours");
        EXPECT_EQ(RawDosAttrib(path), "0x21");
        EXPECT_EQ(test::ModeOf(path) & 07777, 0640u);
        EXPECT_EQ(test::ModifiedOf(path).tv_sec, 1'100'000'000);
        EXPECT_TRUE(TemporariesIn(folder).empty());
    }
};

class CopyReuse : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxFileSystem fs;
    std::string src = dir / "src";
    std::string fsx = dir / "fsx";

    void SetUp() override {
        umask(022);  // the permission bits expected below are the source's under this mask
        test::MakeDirs(fsx);
    }

    // Copies src/name over fsx/name for each name, in order, as one run.
    void CopyAll(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            const CopyResult result = fs.copyFile(src + "/" + name, fsx + "/" + name);
            EXPECT_TRUE(result.ok) << name << ": " << result.error;
        }
    }
    void ExpectOnlyTargetsAfterTheRun(const std::vector<std::string>& names) {
        fs.endCopyRun();
        EXPECT_EQ(ListNames(fsx), names);
    }
};

TEST_F(CopyReuse, EachTargetGetsItsOwnSourceNothingOfTheFileReplacedBeforeIt) {
    struct File {
        const char* name;
        const char* oldContent;
        mode_t oldMode;
        const char* oldAttrib;  // nullptr: none
        const char* newContent;
        mode_t newMode;
        const char* newAttrib;
        long long modified;
    };
    const File files[] = {
        {"a.bmp", "old a, longer than the new one", 0664, "0x20", "A", 0644, nullptr, 1'200'000'000},
        {"b.bmp", "old b", 0600, "0x4", "new b, longer than the old one", 0444, "0x20", 1'200'000'100},
        {"c.bmp", "", 0644, nullptr, "new c", 0640, "0x4", 1'200'000'200},
        {"d.bmp", "old d", 0666, "0x24", "", 0604, nullptr, 1'200'000'300},
    };
    std::vector<std::string> names;
    std::vector<std::unique_ptr<HeldOpen>> oldFiles;
    for (const auto& f : files) {
        names.push_back(f.name);
        WriteFile(fsx + "/" + f.name, f.oldContent);
        test::SetMode(fsx + "/" + f.name, f.oldMode);
        if (f.oldAttrib) SetRawDosAttrib(fsx + "/" + f.name, f.oldAttrib);
        oldFiles.push_back(std::make_unique<HeldOpen>(fsx + "/" + f.name));
        WriteFile(src + "/" + f.name, f.newContent);
        if (f.newAttrib) SetRawDosAttrib(src + "/" + f.name, f.newAttrib);
        test::SetMode(src + "/" + f.name, f.newMode);
        test::SetModified(src + "/" + f.name, f.modified, 5);
    }

    // Attributes of other programs stay with their file: it is never reused.
    ASSERT_EQ(setxattr((fsx + "/c.bmp").c_str(), "user.note", "kept", 4, 0), 0);

    CopyAll(names);

    EXPECT_EQ(getxattr((fsx + "/d.bmp").c_str(), "user.note", nullptr, 0), -1);
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string target = fsx + "/" + f.name;
        EXPECT_EQ(ReadFile(target), f.newContent);
        EXPECT_EQ(test::ModeOf(target) & 07777, f.newMode);
        EXPECT_EQ(RawDosAttrib(target), f.newAttrib ? std::optional<std::string>(f.newAttrib) : std::nullopt);
        EXPECT_EQ(test::ModifiedOf(target).tv_sec, f.modified);
        EXPECT_EQ(test::ModifiedOf(target).tv_nsec, 5);
    }
    // The old file of each target became the next target, but for the one carrying another program's attribute.
    EXPECT_EQ(StatOf(fsx + "/b.bmp").st_ino, oldFiles[0]->Inode());
    EXPECT_EQ(StatOf(fsx + "/c.bmp").st_ino, oldFiles[1]->Inode());
    EXPECT_NE(StatOf(fsx + "/d.bmp").st_ino, oldFiles[2]->Inode());
    // The old d.bmp waits under a hidden name for the next copy, listed by nobody.
    EXPECT_EQ(TemporariesIn(fsx).size(), 1u);
    auto listed = fs.listOrdinaryFiles(fsx);
    ASSERT_TRUE(listed.has_value());
    std::sort(listed->begin(), listed->end());
    EXPECT_EQ(*listed, (std::vector<std::string>{"a.bmp", "b.bmp", "d.bmp"}));  // c.bmp is a system file now

    ExpectOnlyTargetsAfterTheRun(names);
}

TEST_F(CopyReuse, AHardLinkedTargetIsReplacedAndItsOtherNameKeepsItsFile) {
    // The linked target first (its file would be the next temporary), in the middle, and last.
    const std::vector<std::vector<std::string>> orders = {
        {"linked.bmp", "a.bmp", "b.bmp"}, {"a.bmp", "linked.bmp", "b.bmp"}, {"a.bmp", "b.bmp", "linked.bmp"}};
    for (const auto& order : orders) {
        SCOPED_TRACE(order.front() + " " + order[1]);
        test::TempDir d;
        LinuxFileSystem fs2;
        const Bystander other(d / "elsewhere");
        for (const std::string name : {"a.bmp", "b.bmp", "linked.bmp"}) {
            WriteFile(d / "src/" + name, "new " + name);
            if (name != "linked.bmp") WriteFile(d / "fsx/" + name, "old " + name);
        }
        ASSERT_EQ(link(other.path.c_str(), (d / "fsx/linked.bmp").c_str()), 0);

        for (const auto& name : order) ASSERT_TRUE(fs2.copyFile(d / "src/" + name, d / "fsx/" + name).ok) << name;
        fs2.endCopyRun();

        other.ExpectUntouched();
        EXPECT_EQ(StatOf(other.path).st_nlink, 1u);
        for (const std::string name : {"a.bmp", "b.bmp", "linked.bmp"}) {
            EXPECT_EQ(ReadFile(d / "fsx/" + name), "new " + name);
        }
        EXPECT_EQ(ListNames(d / "fsx"), (std::vector<std::string>{"a.bmp", "b.bmp", "linked.bmp"}));
    }
}

TEST_F(CopyReuse, ALinkedTargetIsReplacedByTheCopyAndWhatItNamesIsUntouched) {
    struct Case {
        const char* name;
        bool dangling;
        bool linkFirst;  // copied before any other file of the folder, with no kept temporary yet
    };
    for (const Case c : {Case{"link to a file", false, false}, Case{"dangling link", true, false},
                         Case{"link to a file, first", false, true}, Case{"dangling link, first", true, true}}) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        LinuxFileSystem fs2;
        const Bystander other(d / "elsewhere");
        // A read-only file behind the link: the link is replaced, so it cannot refuse the copy.
        test::SetMode(other.path, 0440);
        const std::string pointee = c.dangling ? d / "elsewhere/missing.bmp" : other.path;
        for (const std::string name : {"a.bmp", "linked.bmp", "b.bmp"}) {
            WriteFile(d / "src/" + name, "new " + name);
            if (name != "linked.bmp") WriteFile(d / "fsx/" + name, "old " + name);
        }
        ASSERT_EQ(symlink(pointee.c_str(), (d / "fsx/linked.bmp").c_str()), 0);
        int replaced = 0;
        fs2.setBeforeRenameHookForTesting([&] {
            ++replaced;
            // The temporary lives beside the link, never beside what it names.
            EXPECT_EQ(TemporariesIn(d / "fsx").size(), 1u);
            EXPECT_TRUE(TemporariesIn(d / "elsewhere").empty());
        });

        const std::vector<std::string> order = c.linkFirst ? std::vector<std::string>{"linked.bmp", "a.bmp", "b.bmp"}
                                                           : std::vector<std::string>{"a.bmp", "linked.bmp", "b.bmp"};
        for (const std::string& name : order) {
            const CopyResult result = fs2.copyFile(d / "src/" + name, d / "FSX/" + name);
            ASSERT_TRUE(result.ok) << name << ": " << result.error;
        }
        fs2.endCopyRun();

        EXPECT_EQ(replaced, 3);
        EXPECT_EQ(ReadFile(other.path), "not yours");
        EXPECT_EQ(RawDosAttrib(other.path), "0x21");
        EXPECT_EQ(test::ModeOf(other.path) & 07777, 0440u);
        EXPECT_TRUE(TemporariesIn(d / "elsewhere").empty());
        EXPECT_FALSE(test::PathExists(d / "elsewhere/missing.bmp"));
        EXPECT_TRUE(S_ISREG(StatOf(d / "fsx/linked.bmp").st_mode));
        EXPECT_EQ(ReadFile(d / "fsx/linked.bmp"), "new linked.bmp");
        EXPECT_EQ(ListNames(d / "fsx"), (std::vector<std::string>{"a.bmp", "b.bmp", "linked.bmp"}));
    }
}

TEST_F(CopyReuse, ATargetSwappedForAnotherNameJustBeforeTheExchangeIsNeverWritten) {
    // Between the look at the target and the exchange, someone puts a link in its place.
    struct Case {
        const char* name;
        int (*makeName)(const char* existing, const char* name);
    };
    for (const Case c : {Case{"hard link", &::link}, Case{"symbolic link", &::symlink}}) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        LinuxFileSystem fs2;
        const Bystander other(d / "elsewhere");
        for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) {
            WriteFile(d / "src/" + name, "new " + name);
            WriteFile(d / "fsx/" + name, "old " + name);
        }
        bool swapped = false;
        fs2.setBeforeRenameHookForTesting([&] {
            if (swapped) return;
            swapped = true;
            ASSERT_EQ(unlink((d / "fsx/a.bmp").c_str()), 0);
            ASSERT_EQ(c.makeName(other.path.c_str(), (d / "fsx/a.bmp").c_str()), 0);
        });

        for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) {
            ASSERT_TRUE(fs2.copyFile(d / "src/" + name, d / "fsx/" + name).ok) << name;
        }
        fs2.endCopyRun();

        other.ExpectUntouched();
        EXPECT_EQ(StatOf(other.path).st_nlink, 1u);
        for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"})
            EXPECT_EQ(ReadFile(d / "fsx/" + name), "new " + name);
        EXPECT_EQ(ListNames(d / "fsx"), (std::vector<std::string>{"a.bmp", "b.bmp", "c.bmp"}));
    }
}

TEST_F(CopyReuse, FileSystemsThatCannotExchangeGetTheRenameInstead) {
    for (const int error : {EINVAL, ENOSYS}) {
        SCOPED_TRACE(error);
        test::TempDir d;
        LinuxFileSystem fs2;
        int tries = 0;
        fs2.setExchangeForTesting([&](const std::string&, const std::string&) {
            ++tries;
            errno = error;
            return -1;
        });
        std::vector<std::unique_ptr<HeldOpen>> oldFiles;
        for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) {
            WriteFile(d / "src/" + name, "new " + name);
            WriteFile(d / "fsx/" + name, "old " + name);
            oldFiles.push_back(std::make_unique<HeldOpen>(d / "fsx/" + name));
        }

        for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) {
            ASSERT_TRUE(fs2.copyFile(d / "src/" + name, d / "fsx/" + name).ok) << name;
            EXPECT_TRUE(TemporariesIn(d / "fsx").empty());
        }

        EXPECT_EQ(tries, 1);  // asked once, not for every file
        for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"})
            EXPECT_EQ(ReadFile(d / "fsx/" + name), "new " + name);
        EXPECT_NE(StatOf(d / "fsx/b.bmp").st_ino, oldFiles[0]->Inode());
        EXPECT_NE(StatOf(d / "fsx/c.bmp").st_ino, oldFiles[1]->Inode());
        EXPECT_EQ(ListNames(d / "fsx"), (std::vector<std::string>{"a.bmp", "b.bmp", "c.bmp"}));
    }
}

// File systems without unnamed files (older FUSE mounts, FAT) answer
// EOPNOTSUPP or EISDIR: new targets then get a named temporary and a rename.
// The kept temporary is checked again when it is taken: a second name given
// to it meanwhile (a snapshot tool hard-linking the folder) keeps its content.
TEST_F(CopyReuse, AKeptTemporaryGivenAnotherNameMeanwhileIsNeverWritten) {
    test::TempDir d;
    LinuxFileSystem fs2;
    for (const std::string name : {"a.bmp", "b.bmp"}) {
        WriteFile(d / "src/" + name, "new " + name);
        WriteFile(d / "fsx/" + name, "old " + name);
    }
    ASSERT_TRUE(fs2.copyFile(d / "src/a.bmp", d / "fsx/a.bmp").ok);
    const auto kept = TemporariesIn(d / "fsx");
    ASSERT_EQ(kept.size(), 1u);
    ASSERT_EQ(link((d / "fsx/" + kept[0]).c_str(), (d / "snapshot.bmp").c_str()), 0);

    ASSERT_TRUE(fs2.copyFile(d / "src/b.bmp", d / "fsx/b.bmp").ok);
    fs2.endCopyRun();
    EXPECT_EQ(ReadFile(d / "snapshot.bmp"), "old a.bmp");
    EXPECT_EQ(ReadFile(d / "fsx/b.bmp"), "new b.bmp");
    EXPECT_EQ(ListNames(d / "fsx"), (std::vector<std::string>{"a.bmp", "b.bmp"}));
}

TEST_F(CopyReuse, FileSystemsWithoutUnnamedFilesGetANamedTemporaryInstead) {
    for (const int error : {EOPNOTSUPP, EISDIR}) {
        SCOPED_TRACE(error);
        test::TempDir d;
        LinuxFileSystem fs2;
        int tries = 0;
        fs2.setOpenUnnamedForTesting([&](const std::string&, mode_t) {
            ++tries;
            errno = error;
            return -1;
        });
        int namedSeen = 0;
        fs2.setBeforeRenameHookForTesting([&] { namedSeen += static_cast<int>(TemporariesIn(d / "fsx").size()); });
        test::MakeDirs(d / "fsx");
        for (const std::string name : {"a.bmp", "b.bmp"}) {
            WriteFile(d / "src/" + name, "new " + name);
            ASSERT_TRUE(fs2.copyFile(d / "src/" + name, d / "fsx/" + name).ok) << name;
        }
        EXPECT_EQ(tries, 1);      // asked once for the folder, not for every file
        EXPECT_EQ(namedSeen, 2);  // each copy wrote a named temporary
        fs2.endCopyRun();
        for (const std::string name : {"a.bmp", "b.bmp"}) EXPECT_EQ(ReadFile(d / "fsx/" + name), "new " + name);
        EXPECT_EQ(ListNames(d / "fsx"), (std::vector<std::string>{"a.bmp", "b.bmp"}));
    }
}

TEST_F(CopyReuse, AFailedExchangeFailsTheCopyAndLeavesTheOldTarget) {
    fs.setExchangeForTesting([](const std::string&, const std::string&) {
        errno = EIO;
        return -1;
    });
    WriteFile(src + "/a.bmp", "new");
    WriteFile(fsx + "/a.bmp", "old");
    EXPECT_FALSE(fs.copyFile(src + "/a.bmp", fsx + "/a.bmp").ok);
    EXPECT_EQ(ReadFile(fsx + "/a.bmp"), "old");
    EXPECT_EQ(ListNames(fsx), std::vector<std::string>{"a.bmp"});
}

TEST_F(CopyReuse, TheKeptTemporaryGoesWhenTheCopiesMoveToAnotherFolder) {
    for (const std::string name : {"a.bmp", "b.bmp"}) {
        WriteFile(src + "/" + name, "new " + name);
        WriteFile(fsx + "/" + name, "old " + name);
        WriteFile(dir / "other/" + name, "old " + name);
    }
    ASSERT_TRUE(fs.copyFile(src + "/a.bmp", fsx + "/a.bmp").ok);
    ASSERT_TRUE(fs.copyFile(src + "/b.bmp", dir / "other/b.bmp").ok);
    EXPECT_TRUE(TemporariesIn(fsx).empty());
    ASSERT_TRUE(fs.copyFile(src + "/a.bmp", dir / "other/a.bmp").ok);
    EXPECT_EQ(TemporariesIn(dir / "other").size(), 1u);

    // Clearing leftovers also lets go of the kept one; copies go on afterwards.
    fs.removeLeftoverTemporaries(dir / "other");
    EXPECT_TRUE(TemporariesIn(dir / "other").empty());
    ASSERT_TRUE(fs.copyFile(src + "/b.bmp", fsx + "/b.bmp").ok);
    ExpectOnlyTargetsAfterTheRun({"a.bmp", "b.bmp"});
    EXPECT_EQ(ListNames(dir / "other"), (std::vector<std::string>{"a.bmp", "b.bmp"}));
    for (const std::string name : {"a.bmp", "b.bmp"}) {
        EXPECT_EQ(ReadFile(fsx + "/" + name), "new " + name);
        EXPECT_EQ(ReadFile(dir / "other/" + name), "new " + name);
    }
}

// Another user of our group: the file is not ours even though our group may write it.
constexpr uid_t kOtherUser = 4242;

bool GiveToAnotherUser(const std::string& path) {
    return chown(path.c_str(), kOtherUser, getegid()) == 0;
}

// The replaced file of a.bmp is changed after the copy examined it: just
// before the exchange, or while it waits under its temporary name for the
// next copy. It must never become b.bmp's file when that makes it someone
// else's or carries anything of it into b.bmp.
TEST_F(CopyReuse, AReplacedFileChangedAfterItWasExaminedPassesNothingOn) {
    enum class When { BeforeExchange, WhileKept };
    struct Case {
        const char* name;
        std::function<void(const std::string& oldFile, const std::string& elsewhere)> change;
        bool mayBeReused;  // the change leaves it ours to write: only the attribute must go
    };
    const Case cases[] = {
        {"another program's attribute",
         [](const std::string& f, const std::string&) { ASSERT_EQ(setxattr(f.c_str(), "user.note", "x", 1, 0), 0); },
         false},
        {"hidden", [](const std::string& f, const std::string&) { SetRawDosAttrib(f, "0x2"); }, true},
        {"given to another user of our group",
         [](const std::string& f, const std::string&) { ASSERT_TRUE(GiveToAnotherUser(f)) << "needs root"; }, false},
        {"given a second name",
         [](const std::string& f, const std::string& elsewhere) {
             ASSERT_EQ(link(f.c_str(), (elsewhere + "/second.bmp").c_str()), 0);
         },
         false},
    };
    for (const When when : {When::BeforeExchange, When::WhileKept}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) +
                         (when == When::BeforeExchange ? ", before the exchange" : ", while kept"));
            test::TempDir d;
            LinuxFileSystem fs2;
            test::MakeDirs(d / "elsewhere");
            for (const std::string name : {"a.bmp", "b.bmp"}) {
                WriteFile(d / "src/" + name, "new " + name);
                WriteFile(d / "fsx/" + name, "old " + name);
            }
            const HeldOpen oldA(d / "fsx/a.bmp");
            if (when == When::BeforeExchange) {
                fs2.setBeforeRenameHookForTesting([&, done = false]() mutable {
                    if (!std::exchange(done, true)) c.change(d / "fsx/a.bmp", d / "elsewhere");
                });
            }
            ASSERT_TRUE(fs2.copyFile(d / "src/a.bmp", d / "fsx/a.bmp").ok);
            if (when == When::WhileKept) {
                const auto kept = TemporariesIn(d / "fsx");
                ASSERT_EQ(kept.size(), 1u);
                c.change(d / "fsx/" + kept[0], d / "elsewhere");
            }

            ASSERT_TRUE(fs2.copyFile(d / "src/b.bmp", d / "fsx/b.bmp").ok);
            fs2.endCopyRun();

            const std::string b = d / "fsx/b.bmp";
            EXPECT_EQ(ReadFile(b), "new b.bmp");
            EXPECT_EQ(RawDosAttrib(b), std::nullopt);
            EXPECT_EQ(getxattr(b.c_str(), "user.note", nullptr, 0), -1);
            EXPECT_EQ(StatOf(b).st_uid, geteuid());
            EXPECT_EQ(StatOf(b).st_nlink, 1u);
            if (!c.mayBeReused) {
                EXPECT_NE(StatOf(b).st_ino, oldA.Inode());
                EXPECT_EQ(oldA.Content(), "old a.bmp");
            }
            EXPECT_EQ(ListNames(d / "fsx"), (std::vector<std::string>{"a.bmp", "b.bmp"}));
        }
    }
}

TEST_F(CopyReuse, ATargetOfAnotherUserOfOurGroupNeverBecomesTheNextTarget) {
    for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) {
        WriteFile(src + "/" + name, "new " + name);
        WriteFile(fsx + "/" + name, "old " + name);
    }
    // Writable by our group, so a copy may replace it; but its file is not ours to reuse.
    test::SetMode(fsx + "/a.bmp", 0664);
    ASSERT_TRUE(GiveToAnotherUser(fsx + "/a.bmp")) << "needs root";
    const HeldOpen theirs(fsx + "/a.bmp");

    CopyAll({"a.bmp", "b.bmp", "c.bmp"});

    EXPECT_EQ(theirs.Content(), "old a.bmp");
    EXPECT_NE(StatOf(fsx + "/b.bmp").st_ino, theirs.Inode());
    EXPECT_NE(StatOf(fsx + "/c.bmp").st_ino, theirs.Inode());
    for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) {
        EXPECT_EQ(ReadFile(fsx + "/" + name), "new " + name);
        EXPECT_EQ(StatOf(fsx + "/" + name).st_uid, geteuid());
    }
    ExpectOnlyTargetsAfterTheRun({"a.bmp", "b.bmp", "c.bmp"});
}

// An exchange after which a link to a file elsewhere lies under the
// temporary name (the replaced file moved out and a link left in its place):
// the link is never followed, so the file elsewhere is never written.
TEST_F(CopyReuse, ALinkLeftUnderTheTemporaryNameIsNeverFollowed) {
    const Bystander other(dir / "elsewhere");
    const std::string moved = dir / "elsewhere/moved.bmp";
    for (const std::string name : {"a.bmp", "b.bmp"}) {
        WriteFile(src + "/" + name, "new " + name);
        WriteFile(fsx + "/" + name, "old " + name);
    }
    int exchanges = 0;
    fs.setExchangeForTesting([&](const std::string& temporary, const std::string& target) {
        const int result = renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE);
        if (result == 0 && ++exchanges == 1) {
            EXPECT_EQ(rename(temporary.c_str(), moved.c_str()), 0);
            EXPECT_EQ(symlink(moved.c_str(), temporary.c_str()), 0);
        }
        return result;
    });

    CopyAll({"a.bmp", "b.bmp"});

    EXPECT_EQ(ReadFile(moved), "old a.bmp");
    EXPECT_EQ(test::ModeOf(moved) & 07777, 0644u);
    other.ExpectUntouched();
    EXPECT_TRUE(S_ISREG(StatOf(fsx + "/b.bmp").st_mode));
    EXPECT_EQ(ReadFile(fsx + "/b.bmp"), "new b.bmp");
    ExpectOnlyTargetsAfterTheRun({"a.bmp", "b.bmp"});
}

// A folder put at the target's name after the copy examined it: an exchange,
// unlike a rename, would take it and hide it under the temporary name. It is
// put back whole, the copy fails as over any folder, and later copies go on.
TEST_F(CopyReuse, AFolderPutAtTheTargetsNameMeanwhileIsPutBackAndTheCopyFails) {
    for (const std::string name : {"a.bmp", "b.bmp"}) {
        WriteFile(src + "/" + name, "new " + name);
        WriteFile(fsx + "/" + name, "old " + name);
    }
    const std::string folder = fsx + "/a.bmp";
    bool swapped = false;
    fs.setExchangeForTesting([&](const std::string& temporary, const std::string& target) {
        if (target == folder && !swapped) {
            swapped = true;
            EXPECT_EQ(unlink(folder.c_str()), 0);
            WriteFile(folder + "/inside.bmp", "someone's file");
        }
        return renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE);
    });

    EXPECT_FALSE(fs.copyFile(src + "/a.bmp", folder).ok);
    ASSERT_TRUE(swapped);
    EXPECT_TRUE(S_ISDIR(StatOf(folder).st_mode));
    EXPECT_EQ(ListNames(folder), std::vector<std::string>{"inside.bmp"});
    EXPECT_EQ(ReadFile(folder + "/inside.bmp"), "someone's file");
    EXPECT_TRUE(TemporariesIn(fsx).empty());

    CopyAll({"b.bmp"});
    EXPECT_EQ(ReadFile(fsx + "/b.bmp"), "new b.bmp");
    ExpectOnlyTargetsAfterTheRun({"a.bmp", "b.bmp"});
}

// The copy takes the source's attribute from the listing of its folder made
// in the same run, but only while the source is still the file listed.
TEST_F(CopyReuse, ASourceReplacedSinceTheListingGetsItsOwnAttributes) {
    struct Case {
        const char* name;
        const char* listedAttrib;  // nullptr: none
        const char* copiedAttrib;
    };
    for (const Case c : {Case{"attribute added", nullptr, "0x20"}, Case{"attribute dropped", "0x20", nullptr},
                         Case{"attribute changed", "0x20", "0x4"}}) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        LinuxFileSystem fs2;
        WriteFile(d / "src/a.bmp", "listed");
        if (c.listedAttrib) SetRawDosAttrib(d / "src/a.bmp", c.listedAttrib);
        WriteFile(d / "src/b.bmp", "unchanged");
        SetRawDosAttrib(d / "src/b.bmp", "0x20");
        test::MakeDirs(d / "fsx");
        const CopyRun run(fs2);
        ASSERT_TRUE(fs2.listOrdinaryFiles(d / "src").has_value());
        // Replaced by a new file under the same name, as a save by an editor does.
        WriteFile(d / "src/a.new", "copied");
        if (c.copiedAttrib) SetRawDosAttrib(d / "src/a.new", c.copiedAttrib);
        ASSERT_EQ(rename((d / "src/a.new").c_str(), (d / "src/a.bmp").c_str()), 0);

        for (const std::string name : {"a.bmp", "b.bmp"})
            ASSERT_TRUE(fs2.copyFile(d / "src/" + name, d / "fsx/" + name).ok) << name;

        EXPECT_EQ(ReadFile(d / "fsx/a.bmp"), "copied");
        EXPECT_EQ(RawDosAttrib(d / "fsx/a.bmp"),
                  c.copiedAttrib ? std::optional<std::string>(c.copiedAttrib) : std::nullopt);
        EXPECT_EQ(RawDosAttrib(d / "fsx/b.bmp"), "0x20");
    }
}

}  // namespace
}  // namespace vrx
