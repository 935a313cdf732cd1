#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PlatformFiles.h"
#include "platform/linux/HomeFolder.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxRegistry.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ReadFile;
using test::WriteFile;

constexpr const char* kSimKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
constexpr const char* kOurKey = "SOFTWARE\\Quellmark\\VRX Norvane";

std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? real.get() : path;
}

class Registry : public ::testing::Test {
protected:
    test::TempDir dir;
    LinuxFileSystem fs;
    std::string prefix = dir / "prefix";
    std::string store = dir / "config/verdantis/registry.reg";
    LinuxRegistry registry{{store, prefix}, fs};

    void writeSystemReg(const std::string& body, bool win64) {
        const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n";
        WriteFile(prefix + "/system.reg", header + (win64 ? "#arch=win64\n" : "") + "\n" + body);
    }
};

TEST_F(Registry, FindsTheSimulatorInThe32BitViewAndMapsItToADrive) {
    writeSystemReg(
        "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n"
        "#time=1da0b1c2d3e4f50\n"
        "\"SetupPath\"=\"D:\\\\Wrong\\\\\"\n"
        "\n"
        "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n"
        "#time=1da0b1c2d3e4f50\n"
        "\"LangID\"=dword:00000409\n"
        "\"SetupPath\"=\"C:\\\\Games\\\\FSX\\\\\"\n",
        true);
    test::MakeDirs(prefix + "/drive_c/games/fsx");
    test::MakeDirs(prefix + "/dosdevices");
    ASSERT_EQ(symlink("../drive_c", (prefix + "/dosdevices/c:").c_str()), 0);

    const auto setupPath = registry.readString(kSimKey, "SetupPath");
    ASSERT_EQ(setupPath, "C:\\Games\\FSX\\");
    EXPECT_EQ(registry.toHostPath(*setupPath), RealPath(prefix + "/drive_c") + "/games/fsx/");
    EXPECT_EQ(registry.toHostPath("C:\\Games\\FSX"), RealPath(prefix + "/drive_c") + "/games/fsx");
}

TEST_F(Registry, FallsBackToThePlainKey) {
    writeSystemReg(
        "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n"
        "\"SetupPath\"=\"C:\\\\FSX\"\n",
        true);
    EXPECT_EQ(registry.readString(kSimKey, "SetupPath"), "C:\\FSX");
    EXPECT_EQ(registry.readString("software\\microsoft\\MICROSOFT GAMES\\flight simulator\\10.0\\", "setuppath"),
              "C:\\FSX");
}

TEST_F(Registry, UsesThe32BitViewOnlyInA64BitPrefix) {
    writeSystemReg(
        "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n"
        "\"SetupPath\"=\"C:\\\\FSX\"\n",
        false);
    EXPECT_EQ(registry.readString(kSimKey, "SetupPath"), std::nullopt);
}

TEST_F(Registry, ReadsStringValuesAsWineWritesThem) {
    writeSystemReg(
        "[Software\\\\Test] 1700000000\n"
        "@=\"the default\"\n"
        "\"Plain\"=\"text\"\n"
        "\"Expand\"=str(2):\"%ProgramFiles%\\\\FSX\"\n"
        "\"Number\"=dword:00000001\n"
        "\"Binary\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
        "  16,17,18,\\\n"
        "  \"Fake\"=\"inside a continuation\"\n"
        "\"After\"=\"after the continuation\"\n"
        "\"Latin\"=\"Caf\\xe9 \\x20ac5\"\n"
        "\"Escapes\"=\"a\\\\b\\\"c\\td\\ne\\r\\0f\"\n"
        "\"Octal\"=\"\\101\\102\"\n"
        "\"Emoji\"=\"\\xd83d\\xde00\"\n"
        "\"Raw UTF-8\"=\"Zürich\"\n"
        "\"With=Sign\"=\"equals\"\n"
        "\"Quote\\\"Name\"=\"quoted\"\n"
        "\n"
        "[Software\\\\Other] 1700000000\n"
        "\"Plain\"=\"other key\"\n",
        false);
    struct Case {
        const char* name;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"", "the default"},       {"Plain", "text"},
        {"PLAIN", "text"},         {"Expand", "%ProgramFiles%\\FSX"},
        {"Number", std::nullopt},  {"Binary", std::nullopt},
        {"Fake", std::nullopt},    {"After", "after the continuation"},
        {"Latin", "Café €5"},      {"Escapes", std::string("a\\b\"c\td\ne\r\0f", 12)},
        {"Octal", "AB"},           {"Emoji", "😀"},
        {"Raw UTF-8", "Zürich"},   {"With=Sign", "equals"},
        {"Quote\"Name", "quoted"}, {"Missing", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(registry.readString("Software\\TEST", c.name), c.expected);
    }
    EXPECT_EQ(registry.readString("Software\\Other", "Plain"), "other key");
    EXPECT_EQ(registry.readString("Software\\Missing", "Plain"), std::nullopt);
}

TEST_F(Registry, NothingWithoutASystemReg) {
    EXPECT_EQ(registry.readString(kSimKey, "SetupPath"), std::nullopt);
}

// A prefix (Wine's or one of Steam's) is another program's folder: what
// stands at system.reg's or the store's name may be a pipe or a device.
TEST_F(Registry, APipeOrDeviceWhereARegistryFileShouldBeIsNeitherReadNorReplaced) {
    test::MakeDirs(prefix);
    ASSERT_EQ(mkfifo((prefix + "/system.reg").c_str(), 0644), 0);
    test::MakeDirs(dir / "config/verdantis");
    ASSERT_EQ(mkfifo(store.c_str(), 0600), 0);
    const std::string zeroPrefix = dir / "zero";
    test::MakeDirs(zeroPrefix);
    ASSERT_EQ(symlink("/dev/zero", (zeroPrefix + "/system.reg").c_str()), 0);
    LinuxRegistry endless{{std::string(), zeroPrefix}, fs};
    // In a child that an alarm ends, so that a reader waiting on the pipe fails instead of hanging.
    EXPECT_EXIT(
        {
            alarm(10);
            const bool refused = !registry.readString(kSimKey, "SetupPath") &&
                                 !endless.readString(kSimKey, "SetupPath") &&
                                 registry.writeString(kOurKey, "Path", "/addon") != 0;
            _exit(refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    struct stat st {};
    ASSERT_EQ(lstat(store.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));  // the store's name still holds the pipe
}

TEST_F(Registry, WritesItsOwnStoreAndReadsItBack) {
    writeSystemReg("[Software\\\\Quellmark\\\\VRX Norvane] 1700000000\n\"Path\"=\"from system.reg\"\n", false);
    const std::string systemReg = ReadFile(prefix + "/system.reg");

    ASSERT_EQ(registry.writeString(kOurKey, "Path", "/opt/Verdantis é€5\\x"), 0);
    EXPECT_EQ(registry.readString(kOurKey, "Path"), "/opt/Verdantis é€5\\x");  // the store comes first
    EXPECT_EQ(registry.readString("software\\quellmark\\vrx norvane", "PATH"), "/opt/Verdantis é€5\\x");

    const std::string text = ReadFile(store);
    EXPECT_EQ(text.rfind("WINE REGISTRY Version 2\n", 0), 0u);
    EXPECT_NE(text.find("[SOFTWARE\\\\Quellmark\\\\VRX Norvane] "), std::string::npos);
    EXPECT_NE(text.find("\"Path\"=\"/opt/Verdantis \\xe9\\x20ac5\\\\x\"\n"), std::string::npos) << text;

    // Later writes keep what the store already holds.
    ASSERT_EQ(registry.writeString(kOurKey, "Other", "2"), 0);
    ASSERT_EQ(registry.writeString("SOFTWARE\\Second", "", "default"), 0);
    ASSERT_EQ(registry.writeString("software\\QUELLMARK\\vrx norvane", "path", "/new"), 0);
    EXPECT_EQ(registry.readString(kOurKey, "Path"), "/new");
    EXPECT_EQ(registry.readString(kOurKey, "Other"), "2");
    EXPECT_EQ(registry.readString("Software\\Second", ""), "default");
    const std::string rewritten = ReadFile(store);
    EXPECT_EQ(rewritten.find("Path\"="), rewritten.rfind("Path\"="));  // one Path value, not two

    // Nothing is ever written into the prefix.
    EXPECT_EQ(ReadFile(prefix + "/system.reg"), systemReg);
    EXPECT_EQ(test::ListNames(prefix), std::vector<std::string>{"system.reg"});
}

TEST_F(Registry, ReportsAStoreThatCannotBeWritten) {
    WriteFile(dir / "blocker", "a file where the folder should be");
    LinuxRegistry blocked({dir / "blocker/verdantis/registry.reg", prefix}, fs);
    EXPECT_EQ(blocked.writeString(kOurKey, "Path", "/opt"), 1);
    EXPECT_EQ(blocked.readString(kOurKey, "Path"), std::nullopt);
    EXPECT_EQ(registry.writeString("", "Path", "/opt"), 1);
    EXPECT_NE(registry.writeString(kOurKey, "Path", "\xC3"), 0);  // not text at all
    EXPECT_FALSE(test::PathExists(store));
}

TEST_F(Registry, AValueLeftOpenByAContinuationDoesNotSwallowTheNextWrite) {
    const std::string head = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
    const std::string ourKey = "[SOFTWARE\\\\Quellmark\\\\VRX Norvane] 1700000000\n";
    struct Case {
        const char* name;
        std::string store;
    };
    const Case cases[] = {
        {"cut off at the end", head + ourKey + "\"Blob\"=hex:00,01,\\"},
        {"cut off before the line end", head + ourKey + "\"Blob\"=hex:00,01,\\\n"},
        {"in another key", head + "[Software\\\\Other] 1700000000\n\"Blob\"=hex:00,\\\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(store, c.store);
        ASSERT_EQ(registry.writeString(kOurKey, "Path", "/opt/vrx"), 0);
        EXPECT_EQ(registry.readString(kOurKey, "Path"), "/opt/vrx");
        ASSERT_EQ(registry.writeString(kOurKey, "Other", "2"), 0);
        EXPECT_EQ(registry.readString(kOurKey, "Path"), "/opt/vrx");
        EXPECT_EQ(registry.readString(kOurKey, "Other"), "2");
    }
}

// Found by fuzzing: a name holding raw bytes that are not UTF-8 (and a quote)
// was written back unescaped, and the rewritten line no longer read.
TEST_F(Registry, ANameThatIsNotUtf8SurvivesTheNextWrite) {
    WriteFile(store,
              "WINE REGISTRY Version 2\n\n[SOFTWARE\\\\Quellmark\\\\VRX Norvane\xff] 1\n"
              "\"N\\\"a\xff\"=\"kept\"\n");
    ASSERT_EQ(registry.writeString(kOurKey, "Path", "/opt/vrx"), 0);
    EXPECT_EQ(registry.readString(kOurKey, "Path"), "/opt/vrx");
    // Shown with the replacement character, value and all.
    EXPECT_EQ(registry.readString("SOFTWARE\\Quellmark\\VRX Norvane\uFFFD", "N\"a\uFFFD"), "kept");
    ASSERT_EQ(registry.writeString(kOurKey, "Other", "2"), 0);
    EXPECT_EQ(registry.readString("SOFTWARE\\Quellmark\\VRX Norvane\uFFFD", "N\"a\uFFFD"), "kept");
}

TEST_F(Registry, AFailedStoreIsAStoreErrorNotAKeyError) {
    ASSERT_EQ(registry.writeString(kOurKey, "Path", "/old"), 0);
    const std::string before = ReadFile(store);
    // A full disk, made real by a file-size limit in a child process.
    EXPECT_EXIT(
        {
            test::LimitFileSize(64);
            const int status = registry.writeString(kOurKey, "Path", "/a path that no longer fits");
            _exit(status == 0 ? 10 : status == 1 ? 11 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile(store), before);
    EXPECT_EQ(registry.readString(kOurKey, "Path"), "/old");
    EXPECT_TRUE(test::TemporariesIn(dir / "config/verdantis").empty());
}

TEST_F(Registry, LeftoverOfAnInterruptedSaveIsRemovedBeforeTheNextOne) {
    const std::string folder = dir / "config/verdantis";
    WriteFile(folder + "/.vrx-copy-Ab12Cd.tmp", "WINE REGISTRY Version 2\n");
    WriteFile(folder + "/notes.tmp", "the user's own");

    ASSERT_EQ(registry.writeString(kOurKey, "Path", "/opt/vrx"), 0);

    EXPECT_EQ(test::ListNames(folder), (std::vector<std::string>{"notes.tmp", "registry.reg"}));
}

TEST_F(Registry, TurnsWindowsPathsIntoHostPaths) {
    test::MakeDirs(prefix + "/drive_c/Program Files/FSX");
    test::MakeDirs(prefix + "/dosdevices");
    ASSERT_EQ(symlink("../drive_c", (prefix + "/dosdevices/c:").c_str()), 0);
    const std::string driveC = RealPath(prefix + "/drive_c");
    struct Case {
        const char* windows;
        std::string host;
    };
    const Case cases[] = {
        {"C:\\Program Files\\FSX", driveC + "/Program Files/FSX"},
        {"c:\\PROGRAM FILES\\fsx\\", driveC + "/Program Files/FSX/"},
        {"C:\\", driveC + "/"},
        {"C:", driveC},
        {"C:\\program files\\Missing\\x.bmp", driveC + "/Program Files/Missing/x.bmp"},
        {"D:\\FSX", prefix + "/dosdevices/d:/FSX"},
        {"\\\\server\\share\\FSX", "//server/share/FSX"},
        {"relative\\FSX", "relative/FSX"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windows);
        EXPECT_EQ(registry.toHostPath(c.windows), c.host);
    }
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(RegistryLocations, ComeFromTheEnvironment) {
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/config");
        ScopedEnv prefix("WINEPREFIX", "/somewhere/wine");
        const auto locations = DefaultRegistryLocations();
        EXPECT_EQ(locations.storeFile, "/somewhere/config/verdantis/registry.reg");
        EXPECT_EQ(locations.winePrefix, "/somewhere/wine");
    }
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        SCOPED_TRACE(unusable ? unusable : "(unset)");
        ScopedEnv home("HOME", "/home/pilot");
        ScopedEnv config("XDG_CONFIG_HOME", unusable);
        ScopedEnv prefix("WINEPREFIX", unusable && *unusable == '\0' ? "" : nullptr);
        const auto locations = DefaultRegistryLocations();
        EXPECT_EQ(locations.storeFile, "/home/pilot/.config/verdantis/registry.reg");
        EXPECT_EQ(locations.winePrefix, "/home/pilot/.wine");
    }
}

// A HOME that is set but empty names no folder: the account's own home
// folder stands in for it, as when HOME is not set at all.
TEST(RegistryLocations, AnEmptyHomeIsTheAccountsHomeFolder) {
    const passwd* account = getpwuid(geteuid());
    ASSERT_NE(account, nullptr);
    ASSERT_NE(account->pw_dir, nullptr);
    const std::string accountHome = account->pw_dir;
    ASSERT_FALSE(accountHome.empty());
    for (const char* home : {"", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(home ? "empty" : "unset");
        ScopedEnv homeVariable("HOME", home);
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        ScopedEnv prefix("WINEPREFIX", nullptr);
        EXPECT_EQ(HomeFolder(), accountHome);
        const auto locations = DefaultRegistryLocations();
        EXPECT_EQ(locations.storeFile, accountHome + "/.config/verdantis/registry.reg");
        EXPECT_EQ(locations.winePrefix, accountHome + "/.wine");
    }
}

}  // namespace
}  // namespace vrx
