// The install's copies as a whole: a run leaves no temporary file however it
// ends, never writes through a link in the target folder, and a run killed at
// any moment leaves every target whole for the next run to finish.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "install/CopyFolderFiles.h"
#include "install/SessionRig.h"

namespace vrx {
namespace {

using test::ListNames;
using test::ReadFile;
using test::SessionRig;
using test::WriteFile;

struct CopyRig : SessionRig {
    std::string from = dir / "app/Textures/North";
    std::string to = dir / "fsx/Texture";

    CopyRig() {
        test::MakeDirs(from);
        test::MakeDirs(to);
    }
    void Run() { CopyFolderFiles(session, from, to); }
};

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

TEST(ReplacingCopy, EveryWayOutOfARunLeavesOnlyTheTargets) {
    struct Case {
        const char* name;
        bool readOnlySecond;  // the second target refuses the copy: the run fails there
        int closeAtPass;      // the user cancels at this pass of pending events (0: never)
        bool failureShown;
    };
    const Case cases[] = {
        {"completed", false, 0, false},
        {"failed", true, 0, true},
        {"cancelled", false, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopyRig rig;
        for (const std::string name : {"a.dds", "b.dds", "c.dds", "d.dds"}) {
            WriteFile(rig.from + "/" + name, "new " + name);
            WriteFile(rig.to + "/" + name, "old " + name);
        }
        const auto order = rig.fs.listOrdinaryFiles(rig.from).value();
        if (c.readOnlySecond) chmod((rig.to + "/" + order[1]).c_str(), 0444);
        rig.prompts.answer(true);
        rig.view.onEvents = [&](int pass) {
            if (pass == c.closeAtPass) rig.status.RequestClose();
        };

        rig.Run();

        EXPECT_EQ(rig.Messages().size(), c.failureShown ? 1u : 0u);
        EXPECT_EQ(ReadFile(rig.to + "/" + order[0]), "new " + order[0]);
        EXPECT_EQ(ListNames(rig.to), (std::vector<std::string>{"a.dds", "b.dds", "c.dds", "d.dds"}));
    }
}

TEST(ReplacingCopy, ALinkInTheTargetFolderIsReplacedAndWhatItNamesIsLeftAlone) {
    for (const std::int16_t fix : {std::int16_t{1}, std::int16_t{0}}) {
        SCOPED_TRACE(fix);
        CopyRig rig;
        rig.settings.readoverwrite = fix;
        const std::string outside = rig.dir / "elsewhere/keep.dds";
        WriteFile(outside, "outside file");
        chmod(outside.c_str(), 0444);
        for (const std::string name : {"a.dds", "b.dds", "c.dds"}) WriteFile(rig.from + "/" + name, "new " + name);
        WriteFile(rig.to + "/a.dds", "old a");
        WriteFile(rig.to + "/c.dds", "old c");
        ASSERT_EQ(symlink(outside.c_str(), (rig.to + "/b.dds").c_str()), 0);

        rig.Run();

        EXPECT_TRUE(rig.Messages().empty());
        EXPECT_EQ(ReadFile(outside), "outside file");
        EXPECT_EQ(ModeOf(outside), 0444u);
        EXPECT_EQ(ListNames(rig.dir / "elsewhere"), std::vector<std::string>{"keep.dds"});
        struct stat st {};
        ASSERT_EQ(lstat((rig.to + "/b.dds").c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        for (const std::string name : {"a.dds", "b.dds", "c.dds"}) EXPECT_EQ(ReadFile(rig.to + "/" + name), "new " + name);
        EXPECT_EQ(ListNames(rig.to), (std::vector<std::string>{"a.dds", "b.dds", "c.dds"}));
    }
}

// Two thousand files over older ones of other lengths, so that a file cut
// short or mixed shows as neither.
class KilledInstall : public ::testing::Test {
protected:
    static constexpr int kFiles = 2000;
    CopyRig rig;
    std::vector<std::string> names;

    static std::string Old(const std::string& name) { return "old " + name + std::string(3000, 'o'); }
    static std::string New(const std::string& name) { return "new " + name + std::string(5000, 'n'); }

    void SetUp() override {
        char name[32];
        for (int i = 0; i < kFiles; ++i) {
            std::snprintf(name, sizeof name, "t%04d.dds", i);
            names.emplace_back(name);
            WriteFile(rig.from + "/" + name, New(name));
        }
    }
    // Puts the old bytes back where a run replaced them.
    void PutOldTargets() {
        for (const auto& name : names) {
            const std::string target = rig.to + "/" + name;
            if (!test::PathExists(target) || ReadFile(target) != Old(name)) WriteFile(target, Old(name));
        }
    }

    // Runs the install in a child; before it starts, prepare runs there. The
    // child says when it starts; then whenStarted does what the parent does meanwhile.
    void RunChild(const std::function<void()>& prepare, const std::function<void(pid_t)>& whenStarted) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            close(ready[0]);
            prepare();
            const char go = 'g';
            if (write(ready[1], &go, 1) != 1) _exit(2);
            rig.Run();
            _exit(rig.Messages().empty() ? 0 : 3);
        }
        close(ready[1]);
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        whenStarted(child);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0);
        }
    }

    // Kills a run in a child at moments spread over a whole run, landing
    // anywhere in a copy: before lays down the targets, after looks at them.
    void KillAtMomentsSpreadOverARun(const std::function<void()>& before, const std::function<void()>& after) {
        before();
        const auto start = std::chrono::steady_clock::now();
        RunChild([] {}, [](pid_t) {});
        const auto wholeRun = std::chrono::steady_clock::now() - start;
        constexpr int kKills = 6;
        for (int k = 0; k < kKills; ++k) {
            SCOPED_TRACE(k);
            before();
            RunChild([] {},
                     [&](pid_t child) {
                         std::this_thread::sleep_for(wholeRun * (2 * k + 1) / (2 * kKills));
                         kill(child, SIGKILL);
                     });
            after();
        }
    }

    // Every target holds its old bytes or its new ones; at most our one temporary lies beside them.
    void ExpectEveryTargetWhole() {
        int newer = 0;
        for (const auto& name : names) {
            const std::string bytes = ReadFile(rig.to + "/" + name);
            if (bytes == New(name)) {
                ++newer;
            } else {
                ASSERT_EQ(bytes, Old(name)) << name;
            }
        }
        const auto all = ListNames(rig.to);
        ASSERT_GE(all.size(), names.size());
        EXPECT_LE(all.size() - names.size(), 1u);
        EXPECT_EQ(rig.fs.listOrdinaryFiles(rig.to).value().size(), names.size());
        std::printf("  killed with %d of %d files copied\n", newer, kFiles);
    }
};

TEST_F(KilledInstall, EveryTargetIsOldOrNewAndTheNextRunLeavesNoTemporary) {
    // Kills at set points: just before the first file takes its target's place
    // (a fresh temporary), and before later ones (a reused one).
    for (const int killAt : {1, 2, 345}) {
        SCOPED_TRACE(killAt);
        PutOldTargets();
        int copies = 0;
        RunChild([&] { rig.fs.setBeforeRenameHookForTesting([&] {
                     if (++copies == killAt) raise(SIGKILL);
                 }); },
                 [](pid_t) {});
        ExpectEveryTargetWhole();
    }

    // Kills at moments spread over a whole run, landing anywhere in a copy.
    KillAtMomentsSpreadOverARun([&] { PutOldTargets(); }, [&] { ExpectEveryTargetWhole(); });

    rig.Run();
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_EQ(ListNames(rig.to), names);
    for (const auto& name : names) ASSERT_EQ(ReadFile(rig.to + "/" + name), New(name)) << name;
}

// Into an empty folder the copies are made ahead by workers, as unnamed
// files: a kill at any moment leaves only whole new files, and no temporary.
TEST_F(KilledInstall, IntoAnEmptyFolderEveryTargetIsWholeOrAbsentAndNothingElseIsLeft) {
    auto emptyTargets = [&] {
        std::filesystem::remove_all(rig.to);
        test::MakeDirs(rig.to);
    };
    KillAtMomentsSpreadOverARun(emptyTargets, [&] {
        std::size_t present = 0;
        for (const auto& name : names) {
            const std::string target = rig.to + "/" + name;
            if (!test::PathExists(target)) continue;
            ++present;
            ASSERT_EQ(ReadFile(target), New(name)) << name;
        }
        EXPECT_EQ(ListNames(rig.to).size(), present) << "something beside the copied files";
        std::printf("  killed with %zu of %d files copied\n", present, kFiles);
    });
}

}  // namespace
}  // namespace vrx
