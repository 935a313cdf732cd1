#include <gtest/gtest.h>

#include "history/History.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/Scripted.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::MakeTime;

class HistoryTest : public ::testing::Test {
protected:
    test::CLocale locale;
    test::TempDir app;
    LinuxFileSystem fs;
    test::FixedClock clock{MakeTime(2026, 12, 8, 21, 2, 1)};
    History history{fs, clock, app.path()};
};

TEST_F(HistoryTest, FileLiesInTheAppFolder) {
    EXPECT_EQ(history.FilePath(), app / "history.txt");
    EXPECT_EQ(History(fs, clock, app.path() + "/").FilePath(), app / "history.txt");
    EXPECT_EQ(History(fs, clock, "/").FilePath(), "/history.txt");
}

TEST_F(HistoryTest, MakeLineJoinsTimestampKindVersionAndTail) {
    EXPECT_EQ(history.MakeLine(kInstalledKind, " - Southern Plains"),
              "12/8/2026 9:02:01 PM - Installed version 1.08 - Southern Plains");
    clock.set(MakeTime(2026, 12, 8, 0, 0, 0));
    EXPECT_EQ(history.MakeLine(kBackupKind, " - Created Main Backup Files"),
              "12/8/2026 - Backup Action 1.08 - Created Main Backup Files");
    clock.set(MakeTime(2026, 12, 8, 12, 0, 0));
    EXPECT_EQ(history.Timestamp(), "12/8/2026 12:00:00 PM");
    clock.set(MakeTime(2026, 12, 8, 0, 0, 1));
    EXPECT_EQ(history.Timestamp(), "12/8/2026 12:00:01 AM");
}

TEST_F(HistoryTest, EachCallAppendsOneLineWithCrLf) {
    const std::string first = history.MakeLine(kInstalledKind, " - Southern Plains");
    history.AddToHistory(first);
    EXPECT_EQ(test::ReadFile(history.FilePath()), first + "\r\n");
    clock.set(MakeTime(2026, 12, 8, 21, 14, 37));
    const std::string second = history.MakeLine(kInstalledKind, " - Southern Plains");
    history.AddToHistory(second);
    history.AddToHistory("Caf\xC3\xA9");
    EXPECT_EQ(test::ReadFile(history.FilePath()), first + "\r\n" + second + "\r\nCaf\xE9\r\n");
}

TEST_F(HistoryTest, FailuresLoseTheEntryAndNothingElse) {
    const std::string oldBytes = "12/8/2026 - Backup Action 1.08 - Restored Main Texture Backup\r\n";
    test::WriteFile(history.FilePath(), oldBytes);

    history.AddToHistory("\xE4\xB8\xAD");  // no Windows-1252 form
    EXPECT_EQ(test::ReadFile(history.FilePath()), oldBytes);

    ASSERT_TRUE(fs.setAttributes(history.FilePath(), AttrReadOnly));
    history.AddToHistory("lost");
    EXPECT_EQ(test::ReadFile(history.FilePath()), oldBytes);

    History nowhere(fs, clock, app / "missing");
    nowhere.AddToHistory("lost");
    EXPECT_FALSE(test::PathExists(app / "missing"));
}

}  // namespace
}  // namespace vrx
