// The backup's copies as a whole: a run over existing backup and simulator
// files leaves only those files behind however it ends, and a link where a
// copy lands is replaced, never written through.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "BackupFixture.h"
#include "backup/BackupEngine.h"

namespace vrx {
namespace {

using Names = std::vector<std::string>;

class BackupCopiesTest : public ::testing::Test, protected test::BackupFixture {};

TEST_F(BackupCopiesTest, EveryWayOutOfARunLeavesOnlyTheCopies) {
    struct Case {
        const char* name;
        bool restoring;
        bool listCutShort;  // the list ends before its count: the run fails after the copies
        int closeAtPass;    // the user cancels at this pass of pending events (0: never)
    };
    const Case cases[] = {
        {"create, completed", false, false, 0},
        {"create, failed", false, true, 0},
        {"create, cancelled", false, false, 2},
        {"restore, completed", true, false, 0},
        {"restore, failed", true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        const std::string sim = d / "fsx/Texture";
        const std::string bak = d / "backup";
        if (c.listCutShort) {
            WriteList({"9", "a.bmp", "b.bmp", "c.bmp"});
        } else {
            WriteList({"4", "a.bmp", "b.bmp", "c.bmp", "end"});
        }
        for (const std::string name : {"a.bmp", "b.bmp", "c.bmp"}) {
            test::WriteFile(sim + "/" + name, "sim " + name);
            test::WriteFile(bak + "/" + name, "bak " + name);
        }
        prompts.answer(true);
        view.onEvents = [&](int pass) {
            if (pass == c.closeAtPass) status.RequestClose();
        };

        if (c.restoring) {
            ProcessBackupList(session, bak, sim, "", true);
        } else {
            ProcessBackupList(session, sim, bak, "", false);
        }

        const std::string copied = c.restoring ? "bak a.bmp" : "sim a.bmp";
        EXPECT_EQ(test::ReadFile((c.restoring ? sim : bak) + "/a.bmp"), copied);
        EXPECT_EQ(test::ListNames(sim), (Names{"a.bmp", "b.bmp", "c.bmp"}));
        EXPECT_EQ(test::ListNames(bak), (Names{"a.bmp", "b.bmp", "c.bmp"}));
    }
}

TEST_F(BackupCopiesTest, ALinkWhereARestoreLandsIsReplacedAndWhatItNamesIsLeftAlone) {
    settings.readoverwrite = 1;
    WriteList({"3", "a.bmp", "b.bmp", "end"});
    const std::string sim = simFolder + "/Texture";
    const std::string outside = tmp / "elsewhere/b.bmp";
    test::WriteFile(outside, "outside file");
    ASSERT_EQ(chmod(outside.c_str(), 0444), 0);
    test::WriteFile(sim + "/a.bmp", "sim a");
    ASSERT_EQ(symlink(outside.c_str(), (sim + "/b.bmp").c_str()), 0);
    test::WriteFile(backupFolder + "/a.bmp", "bak a");
    test::WriteFile(backupFolder + "/b.bmp", "bak b");

    ProcessBackupList(session, backupFolder, sim, "", true);

    EXPECT_FALSE(FailureShown());
    EXPECT_EQ(test::ReadFile(outside), "outside file");
    struct stat st {};
    ASSERT_EQ(stat(outside.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_EQ(test::ListNames(tmp / "elsewhere"), Names{"b.bmp"});
    ASSERT_EQ(lstat((sim + "/b.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(test::ReadFile(sim + "/a.bmp"), "bak a");
    EXPECT_EQ(test::ReadFile(sim + "/b.bmp"), "bak b");
    EXPECT_EQ(test::ListNames(sim), (Names{"a.bmp", "b.bmp"}));
}

}  // namespace
}  // namespace vrx
