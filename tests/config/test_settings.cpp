#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <optional>

#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "platform/Registry.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"

namespace vrx {

// Found by argument-dependent look-up, so they live beside AppSettings.
bool operator==(const AppSettings& a, const AppSettings& b) {
    return a.fspath == b.fspath && a.backuppath == b.backuppath && a.readoverwrite == b.readoverwrite &&
           a.norbackup == b.norbackup && a.rebackup == b.rebackup;
}

std::ostream& operator<<(std::ostream& out, const AppSettings& s) {
    return out << "{fspath=" << s.fspath << " backuppath=" << s.backuppath << " readoverwrite=" << s.readoverwrite
               << " norbackup=" << s.norbackup << " rebackup=" << s.rebackup << "}";
}

namespace {

class SettingsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxFileSystem fs;
    EzCfg cfg{fs};
    std::string settingsFile = SettingsFilePathFor(dir.path());
};

TEST(SettingsFilePath, JoinsWithOneSeparator) {
    EXPECT_EQ(SettingsFilePathFor("/opt/vrx"), "/opt/vrx/settings.cfg");
    EXPECT_EQ(SettingsFilePathFor("/opt/vrx/"), "/opt/vrx/settings.cfg");
    EXPECT_EQ(SettingsFilePathFor("/"), "/settings.cfg");
}

TEST_F(SettingsTest, SaveWritesFiveLinesAndLoadReadsThemBack) {
    const AppSettings saved{"/games/FSX", "/home/pilot/VRX-Backup", 1, "", ""};
    EXPECT_TRUE(SaveSettings(saved, cfg, settingsFile));
    EXPECT_EQ(
        test::ReadFile(settingsFile),
        "FSPath=/games/FSX\r\nBackupPath=/home/pilot/VRX-Backup\r\nReadOverwrite=1\r\nnorbackup=\r\nrebackup=\r\n");

    AppSettings loaded;
    EzCfg other(fs);
    LoadSettings(loaded, other, settingsFile);
    EXPECT_EQ(loaded, saved);
}

TEST_F(SettingsTest, LeftoverOfAnInterruptedSaveIsRemovedByTheNextSave) {
    AppSettings settings{"/games/fsx", "/backup", 1, "1", ""};
    EXPECT_EXIT(
        {
            fs.setBeforeRenameHookForTesting([] { _exit(3); });
            SaveSettings(settings, cfg, settingsFile);
            _exit(0);
        },
        ::testing::ExitedWithCode(3), "");
    ASSERT_EQ(test::ListNames(dir.path()).size(), 1u);  // the killed save's temporary, nothing else
    EXPECT_FALSE(test::PathExists(settingsFile));

    ASSERT_TRUE(SaveSettings(settings, cfg, settingsFile));

    EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"settings.cfg"});
    EXPECT_EQ(test::ReadFile(settingsFile),
              "FSPath=/games/fsx\r\nBackupPath=/backup\r\nReadOverwrite=1\r\nnorbackup=1\r\nrebackup=\r\n");
}

TEST_F(SettingsTest, SaveReplacesWhateverTheFileAndTheObjectHeld) {
    test::WriteFile(settingsFile, "newbackup=1\r\nrebackup=2\r\nExtra=x\r\n");
    test::WriteFile(dir / "ui.cfg", "FormBackColor=FF8000\r\n");
    cfg.ReadCFG(dir / "ui.cfg");
    const AppSettings saved{"/fsx", "/b", 0, "1", "1"};
    EXPECT_TRUE(SaveSettings(saved, cfg, settingsFile));
    EXPECT_EQ(test::ReadFile(settingsFile),
              "FSPath=/fsx\r\nBackupPath=/b\r\nReadOverwrite=0\r\nnorbackup=1\r\nrebackup=1\r\n");
}

TEST_F(SettingsTest, SaveWithoutAFolderReportsFalse) {
    EXPECT_FALSE(SaveSettings(AppSettings{}, cfg, SettingsFilePathFor(dir / "missing")));
}

struct LoadCase {
    const char* name;
    std::string bytes;
    AppSettings expected;
};

TEST_F(SettingsTest, LoadReadsKeysWhateverTheirCase) {
    const LoadCase cases[] = {
        {"written form",
         "FSPath=/f\r\nBackupPath=/b\r\nReadOverwrite=1\r\nnorbackup=1\r\nrebackup=2\r\n",
         {"/f", "/b", 1, "1", "2"}},
        {"lower case", "fspath=/f\r\nbackuppath=/b\r\nreadoverwrite=1\r\n", {"/f", "/b", 1, "", ""}},
        {"newbackup makes an incremental backup pending", "newbackup=1\r\nrebackup=2\r\n", {"", "", 0, "", "0"}},
        {"empty newbackup is no override", "newbackup=\r\nrebackup=2\r\n", {"", "", 0, "", "2"}},
        {"no ReadOverwrite", "FSPath=/f\r\n", {"/f", "", 0, "", ""}},
        {"ReadOverwrite not a number", "ReadOverwrite=abc\r\n", {"", "", 0, "", ""}},
        {"ReadOverwrite with text after", "ReadOverwrite=1 (on)\r\n", {"", "", 1, "", ""}},
        {"ReadOverwrite halves round to even", "ReadOverwrite=2.5\r\n", {"", "", 2, "", ""}},
        {"ReadOverwrite rounds up past half", "ReadOverwrite=3.5\r\n", {"", "", 4, "", ""}},
        {"ReadOverwrite negative", "ReadOverwrite=-1\r\n", {"", "", -1, "", ""}},
        {"ReadOverwrite hexadecimal", "ReadOverwrite=&HFFFF\r\n", {"", "", -1, "", ""}},
        {"ReadOverwrite beyond 16 bits", "ReadOverwrite=40000\r\n", {"", "", 0, "", ""}},
        {"ReadOverwrite huge", "ReadOverwrite=1e20\r\n", {"", "", 0, "", ""}},
        {"escapes decoded", "FSPath=/a\245eb\r\n", {"/a=b", "", 0, "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFile(settingsFile, c.bytes);
        AppSettings loaded{"stale", "stale", 7, "stale", "stale"};
        LoadSettings(loaded, cfg, settingsFile);
        EXPECT_EQ(loaded, c.expected);
    }
}

TEST_F(SettingsTest, LoadWithoutAFileEmptiesTheRecord) {
    AppSettings loaded{"stale", "stale", 1, "1", "1"};
    LoadSettings(loaded, cfg, settingsFile);
    EXPECT_EQ(loaded, AppSettings{});
}

TEST_F(SettingsTest, NewbackupDisappearsAtTheNextSave) {
    test::WriteFile(settingsFile, "FSPath=/f\r\nnewbackup=1\r\nrebackup=2\r\n");
    AppSettings settings;
    LoadSettings(settings, cfg, settingsFile);
    settings.rebackup = "1";
    EXPECT_TRUE(SaveSettings(settings, cfg, settingsFile));
    EXPECT_EQ(test::ReadFile(settingsFile),
              "FSPath=/f\r\nBackupPath=\r\nReadOverwrite=0\r\nnorbackup=\r\nrebackup=1\r\n");
}

// Where the program's registry values live, spelled out so that a changed key in the program is caught.
const std::string kSimulatorKeyText = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
const std::string kProgramKeyText = "SOFTWARE\\Quellmark\\VRX Norvane";

// Registry values kept in memory; host paths marked so the test sees what was converted.
class MemoryRegistry final : public Registry {
public:
    std::optional<std::string> readString(const std::string& keyPath, const std::string& valueName) override {
        const auto it = values.find({keyPath, valueName});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    int writeString(const std::string& keyPath, const std::string& valueName, const std::string& text) override {
        if (writeStatus == 0) values[{keyPath, valueName}] = text;
        return writeStatus;
    }
    std::string toHostPath(const std::string& windowsPath) override { return "host:" + windowsPath; }

    std::map<std::pair<std::string, std::string>, std::string> values;
    int writeStatus = 0;
};

TEST(FindSimulatorFolder, RemovesOneTrailingBackslashBeforeConverting) {
    struct Case {
        std::optional<std::string> setupPath;
        std::string expected;
    };
    const Case cases[] = {
        {"D:\\Games\\FSX\\", "host:D:\\Games\\FSX"},
        {"D:\\Games\\FSX", "host:D:\\Games\\FSX"},
        {"D:\\Games\\FSX\\\\", "host:D:\\Games\\FSX\\"},
        {"", ""},
        {"\\", ""},
        {std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setupPath.value_or("(absent)"));
        MemoryRegistry registry;
        if (c.setupPath) registry.values[{kSimulatorKeyText, "SetupPath"}] = *c.setupPath;
        EXPECT_EQ(FindSimulatorFolder(registry), c.expected);
    }
}

TEST(FindSimulatorFolder, ReadsOnlyTheSimulatorsValue) {
    MemoryRegistry registry;
    registry.values[{kSimulatorKeyText, "Path"}] = "C:\\Other";
    registry.values[{kProgramKeyText, "SetupPath"}] = "C:\\Other";
    EXPECT_EQ(FindSimulatorFolder(registry), "");
}

TEST(WriteRegistryString, StoresTheTextAndReturnsTheStatus) {
    MemoryRegistry registry;
    EXPECT_EQ(WriteRegistryString(registry, kProgramKey, kProgramValue, "/opt/vrx"), 0);
    EXPECT_EQ(registry.readString(kProgramKeyText, "Path"), "/opt/vrx");
    registry.writeStatus = 5;
    EXPECT_EQ(WriteRegistryString(registry, kProgramKey, kProgramValue, "/elsewhere"), 5);
    EXPECT_EQ(registry.readString(kProgramKeyText, "Path"), "/opt/vrx");
}

}  // namespace
}  // namespace vrx
