// Finding the simulator on a machine laid out in a temporary folder (HOME,
// WINEPREFIX and XDG_CONFIG_HOME point into it): our registry store, a Wine
// prefix, Steam's libraries with their Proton prefixes and common/FSX, and
// the prefixes game launchers made (Lutris, Bottles, PlayOnLinux).

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxSimulatorPlaces.h"
#include "settings/SimulatorProposal.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::MakeDirs;
using test::WriteFile;

std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? real.get() : path;
}

// system.reg text with the simulator's SetupPath (as it stands in the file: backslashes doubled).
std::string SystemReg(const std::string& setupPathEscaped, bool wow64) {
    return std::string("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=win64\n\n") +
           (wow64 ? "[Software\\\\Wow6432Node\\\\Microsoft" : "[Software\\\\Microsoft") +
           "\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n#time=1da0b1c2d3e4f50\n\"SetupPath\"=\"" +
           setupPathEscaped + "\"\n";
}

// The folder the simulator's installer chooses in a 64-bit prefix, as registered and as laid out.
const char kDefaultSetupPath[] = "C:\\\\Program Files (x86)\\\\Microsoft Games\\\\Microsoft Flight Simulator X\\\\";
const char kDefaultFolder[] = "/Program Files (x86)/Microsoft Games/Microsoft Flight Simulator X";

class SimulatorSearch : public ::testing::Test {
public:
    test::TempDir dir;
    LinuxFileSystem fs;
    std::string home = dir / "home";

    void SetUp() override {
        MakeDirs(home);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        setenv("WINEPREFIX", (dir / "wineprefix").c_str(), 1);
    }

    std::string propose() {
        LinuxSimulatorPlaces places(DefaultSimulatorSearchLocations(), fs);
        return ProposeSimulatorFolder(places, fs);
    }

    // The simulator's folder as the program's own store registers it.
    void registerInOurStore(const std::string& folder) {
        WriteFile(
            dir / "config/verdantis/registry.reg",
            "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1\n"
            "\"SetupPath\"=\"" +
                folder + "\\\\\"\n");
    }

    // A prefix whose C: drive is drive_c, as Wine lays it out.
    void makePrefix(const std::string& prefix, const std::string& systemReg) {
        WriteFile(prefix + "/system.reg", systemReg);
        MakeDirs(prefix + "/drive_c");
        MakeDirs(prefix + "/dosdevices");
        ASSERT_EQ(symlink("../drive_c", (prefix + "/dosdevices/c:").c_str()), 0);
    }

    // A prefix at prefix with the simulator installed and registered in its default folder;
    // the folder it is found in.
    std::string installInPrefix(const std::string& prefix) {
        makePrefix(prefix, SystemReg(kDefaultSetupPath, true));
        WriteFile(prefix + "/drive_c" + kDefaultFolder + "/fsx.exe", "MZ");
        return RealPath(prefix + "/drive_c") + kDefaultFolder;
    }

    void writeLibraries(const std::string& root, const std::vector<std::string>& libraries) {
        std::string text = "\"libraryfolders\"\n{\n";
        for (std::size_t i = 0; i < libraries.size(); ++i) {
            text += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + libraries[i] +
                    "\"\n\t\t\"apps\"\n\t\t{\n\t\t}\n\t}\n";
        }
        WriteFile(root + "/steamapps/libraryfolders.vdf", text + "}\n");
    }
};

TEST_F(SimulatorSearch, AWinePrefixWithTheValueInThe32BitView) {
    const std::string prefix = dir / "wineprefix";
    makePrefix(prefix, SystemReg("C:\\\\Program Files (x86)\\\\Microsoft Games\\\\FSX\\\\", true));
    WriteFile(prefix + "/drive_c/Program Files (x86)/Microsoft Games/FSX/fsx.exe", "MZ");
    EXPECT_EQ(propose(), RealPath(prefix + "/drive_c") + "/Program Files (x86)/Microsoft Games/FSX");
}

TEST_F(SimulatorSearch, NoWineAndNoSteamProposesNothing) {
    EXPECT_EQ(propose(), "");
}

TEST_F(SimulatorSearch, TheSecondSteamLibrarysCommonFsxWithALowerCaseProgram) {
    const std::string root = home + "/.local/share/Steam";
    const std::string second = dir / "disk2/SteamLibrary";
    writeLibraries(root, {root, second});
    MakeDirs(root + "/steamapps/common/Other Game");
    WriteFile(second + "/steamapps/common/FSX/fsx.exe", "MZ");
    // ~/.steam/steam is a link to the same root: one library, read once.
    MakeDirs(home + "/.steam");
    ASSERT_EQ(symlink(root.c_str(), (home + "/.steam/steam").c_str()), 0);
    EXPECT_EQ(SteamLibraries(SteamRoots(home)), (std::vector<std::string>{root, second}));
    EXPECT_EQ(propose(), second + "/steamapps/common/FSX");
}

// Steam installed without the ~/.steam/steam link (some packages make none):
// its root under ~/.local/share is read for itself.
TEST_F(SimulatorSearch, TheLocalShareSteamRootWithoutTheDotSteamLink) {
    const std::string root = home + "/.local/share/Steam";
    writeLibraries(root, {root});
    WriteFile(root + "/steamapps/common/FSX/FSX.EXE", "MZ");
    ASSERT_FALSE(test::PathExists(home + "/.steam"));
    EXPECT_EQ(propose(), root + "/steamapps/common/FSX");
}

// A path without a leading "/" names no place of its own: read against the
// program's working folder, it would find whatever lies there.
TEST_F(SimulatorSearch, ARelativeLibraryPathIsNoLibrary) {
    const std::string root = home + "/.local/share/Steam";
    writeLibraries(root, {"SteamLibrary", "./SteamLibrary"});
    WriteFile(dir / "SteamLibrary/steamapps/common/FSX/FSX.EXE", "MZ");
    char* const before = getcwd(nullptr, 0);
    ASSERT_NE(before, nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    const std::vector<std::string> libraries = SteamLibraries(SteamRoots(home));
    const std::string proposed = propose();
    EXPECT_EQ(chdir(before), 0);
    std::free(before);
    EXPECT_EQ(libraries, std::vector<std::string>{});
    EXPECT_EQ(proposed, "");
}

// Proton's prefixes are named by the game's id: 9 comes before 10, as numbers do.
TEST_F(SimulatorSearch, ProtonPrefixesInTheOrderOfTheirIds) {
    const std::string root = home + "/.local/share/Steam";
    writeLibraries(root, {root});
    for (const char* id : {"10", "9", "314160", "100"}) {
        const std::string installed = dir / (std::string("installed/") + id);
        WriteFile(installed + "/FSX.EXE", "MZ");
        std::string escaped;
        for (const char c : installed) escaped += c == '/' ? std::string("\\\\") : std::string(1, c);
        const std::string prefix = root + "/steamapps/compatdata/" + id + "/pfx";
        makePrefix(prefix, SystemReg("Z:" + escaped, true));
        ASSERT_EQ(symlink("/", (prefix + "/dosdevices/z:").c_str()), 0);
    }
    const std::string compatdata = root + "/steamapps/compatdata/";
    EXPECT_EQ(ProtonPrefixes(root), (std::vector<std::string>{compatdata + "9/pfx", compatdata + "10/pfx",
                                                              compatdata + "100/pfx", compatdata + "314160/pfx"}));
    EXPECT_EQ(propose(), dir / "installed/9");
}

TEST_F(SimulatorSearch, AProtonPrefixNamingAZDrivePath) {
    const std::string root = home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam";
    writeLibraries(root, {root});
    const std::string installed = dir / "elsewhere/Flight Simulator X";
    WriteFile(installed + "/FSX.EXE", "MZ");
    const std::string prefix = root + "/steamapps/compatdata/314160/pfx";
    std::string escaped;
    for (const char c : installed) escaped += c == '/' ? std::string("\\\\") : std::string(1, c);
    makePrefix(prefix, SystemReg("Z:" + escaped, true));
    ASSERT_EQ(symlink("/", (prefix + "/dosdevices/z:").c_str()), 0);
    // A common/FSX of the same library comes after the prefixes.
    WriteFile(root + "/steamapps/common/FSX/FSX.EXE", "MZ");
    EXPECT_EQ(propose(), installed);
}

TEST_F(SimulatorSearch, AFolderWithoutTheProgramFileIsPassedOver) {
    // The Wine prefix names a folder that was deleted; Steam has the simulator.
    const std::string prefix = dir / "wineprefix";
    makePrefix(prefix, SystemReg("C:\\\\FSX", false));
    const std::string root = home + "/.steam/steam";
    writeLibraries(root, {root});
    WriteFile(root + "/steamapps/common/FSX/FSX.EXE", "MZ");
    EXPECT_EQ(propose(), root + "/steamapps/common/FSX");

    // Without Steam's copy the registry's folder is still proposed, as before.
    ASSERT_EQ(unlink((root + "/steamapps/common/FSX/FSX.EXE").c_str()), 0);
    EXPECT_EQ(propose(), RealPath(prefix + "/drive_c") + "/FSX");
}

// Where no place holds the program, the proposal is what the registries
// alone proposed before: the first folder one of them names, in search order.
TEST_F(SimulatorSearch, WithoutTheProgramAnywhereTheFirstRegisteredFolderIsProposed) {
    const std::string ours = dir / "ours";
    MakeDirs(ours);
    registerInOurStore(ours);
    const std::string prefix = dir / "wineprefix";
    makePrefix(prefix, SystemReg("C:\\\\FSX", true));
    MakeDirs(prefix + "/drive_c/FSX");
    EXPECT_EQ(propose(), ours);
}

TEST_F(SimulatorSearch, OurStoreComesFirstWhenItsFolderHoldsTheSimulator) {
    const std::string ours = dir / "ours";
    WriteFile(ours + "/FSX.exe", "MZ");
    registerInOurStore(ours);
    const std::string prefix = dir / "wineprefix";
    makePrefix(prefix, SystemReg("C:\\\\FSX", true));
    WriteFile(prefix + "/drive_c/FSX/FSX.EXE", "MZ");
    EXPECT_EQ(propose(), ours);
}

TEST_F(SimulatorSearch, AMalformedOrOversizedLibraryListGivesNoProposal) {
    const std::string root = home + "/.local/share/Steam";
    WriteFile(root + "/steamapps/common/FSX/FSX.EXE", "MZ");
    for (const std::string& text :
         {std::string("\"libraryfolders\" { \"0\" { \"path\" \"") + root + "\" }",
          std::string("\"libraryfolders\" { \"0\" \"") + root + "\" \"pad\" \"" + std::string(2 << 20, 'x') + "\" }"}) {
        WriteFile(root + "/steamapps/libraryfolders.vdf", text);
        EXPECT_EQ(propose(), "");
    }
    // A pipe in the file's place is not waited on.
    ASSERT_EQ(unlink((root + "/steamapps/libraryfolders.vdf").c_str()), 0);
    ASSERT_EQ(mkfifo((root + "/steamapps/libraryfolders.vdf").c_str(), 0600), 0);
    EXPECT_EQ(propose(), "");
}

// One launcher's layout in the temporary home: lays it out, returns the
// folder the search must propose ("" for none).
struct Layout {
    const char* name;
    std::function<std::string(SimulatorSearch&)> layOut;
};

void PrintTo(const Layout& layout, std::ostream* os) {
    *os << layout.name;
}

class LauncherLayoutSearch : public SimulatorSearch, public ::testing::WithParamInterface<Layout> {};

TEST_P(LauncherLayoutSearch, ProposesTheSimulatorsExactFolder) {
    // No WINEPREFIX and no ~/.wine, as on a machine where only a launcher runs Wine.
    unsetenv("WINEPREFIX");
    const std::string expected = GetParam().layOut(*this);
    EXPECT_EQ(propose(), expected);
}

std::string GameFile(const std::string& prefixValue) {
    return "game:\n  exe: " + prefixValue + "/drive_c/fsx.exe\n  prefix: " + prefixValue +
           "\nname: Microsoft Flight Simulator X\nrunner: wine\nsystem: {}\nwine:\n  version: lutris-7.2\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, LauncherLayoutSearch,
    ::testing::Values(
        Layout{"LutrisGameFile",
               [](SimulatorSearch& t) {
                   const std::string prefix = t.dir / "Wine Prefixes/fsx";
                   WriteFile(t.home + "/.config/lutris/games/microsoft-flight-simulator-x-1700000000.yml",
                             GameFile(prefix));
                   return t.installInPrefix(prefix);
               }},
        Layout{"LutrisGameFileOfOlderInstallsWithTilde",
               [](SimulatorSearch& t) {
                   WriteFile(t.home + "/.local/share/lutris/games/fsx.yml", "game:\n  prefix: ~/wine/fsx\n");
                   return t.installInPrefix(t.home + "/wine/fsx");
               }},
        Layout{"LutrisGamesFolder",
               [](SimulatorSearch& t) { return t.installInPrefix(t.home + "/Games/microsoft-flight-simulator-x"); }},
        Layout{"Bottles",
               [](SimulatorSearch& t) { return t.installInPrefix(t.home + "/.local/share/bottles/bottles/FSX"); }},
        Layout{"BottlesFlatpak",
               [](SimulatorSearch& t) {
                   return t.installInPrefix(t.home + "/.var/app/com.usebottles.bottles/data/bottles/bottles/FSX");
               }},
        Layout{"PlayOnLinux",
               [](SimulatorSearch& t) { return t.installInPrefix(t.home + "/.PlayOnLinux/wineprefix/FSX"); }},
        Layout{"UnregisteredInTheDefaultFolder",
               [](SimulatorSearch& t) {
                   // Copied into the prefix rather than installed: no registry value.
                   const std::string prefix = t.home + "/.local/share/bottles/bottles/FSX";
                   t.makePrefix(prefix, "WINE REGISTRY Version 2\n#arch=win64\n");
                   WriteFile(prefix + "/drive_c/program files/Microsoft Games/Microsoft Flight Simulator X/FSX.EXE",
                             "MZ");
                   return prefix + "/drive_c/program files/Microsoft Games/Microsoft Flight Simulator X";
               }},
        Layout{"APrefixNoLauncherRecords",
               [](SimulatorSearch& t) {
                   t.installInPrefix(t.home + "/.local/share/wineprefixes/fsx");
                   t.installInPrefix(t.dir / "prefixes/fsx");
                   return std::string();
               }},
        Layout{"ALutrisGameFileNamingARelativePrefix",
               [](SimulatorSearch& t) {
                   WriteFile(t.home + "/.config/lutris/games/fsx.yml", "game:\n  prefix: prefixes/fsx\n");
                   t.installInPrefix(t.home + "/prefixes/fsx");
                   return std::string();
               }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorSearch, LaunchersComeAfterWineAndSteamInTheirOwnOrder) {
    unsetenv("WINEPREFIX");
    const std::string pol = installInPrefix(home + "/.PlayOnLinux/wineprefix/FSX");
    const std::string bottles = installInPrefix(home + "/.local/share/bottles/bottles/FSX");
    const std::string flatpak = installInPrefix(home + "/.var/app/com.usebottles.bottles/data/bottles/bottles/FSX");
    const std::string games = installInPrefix(home + "/Games/fsx");
    const std::string older = installInPrefix(dir / "older");
    WriteFile(home + "/.local/share/lutris/games/fsx.yml", GameFile(dir / "older"));
    const std::string second = installInPrefix(dir / "second");
    WriteFile(home + "/.config/lutris/games/b.yml", GameFile(dir / "second"));
    const std::string first = installInPrefix(dir / "first");
    WriteFile(home + "/.config/lutris/games/a.yml", GameFile(dir / "first"));
    // Steam's copy comes before them all, the Wine prefix before Steam.
    const std::string root = home + "/.steam/steam";
    writeLibraries(root, {root});
    WriteFile(root + "/steamapps/common/FSX/FSX.EXE", "MZ");
    const std::string wine = installInPrefix(home + "/.wine");

    for (const std::string& expected :
         {wine, root + "/steamapps/common/FSX", first, second, older, games, bottles, flatpak, pol}) {
        EXPECT_EQ(propose(), expected);
        // Each found, its program file goes: the next place is searched.
        const std::string program = expected + (expected == root + "/steamapps/common/FSX" ? "/FSX.EXE" : "/fsx.exe");
        ASSERT_EQ(unlink(program.c_str()), 0) << program;
    }
    // Nothing holds the program any more: the first folder a registry names, as before.
    EXPECT_EQ(propose(), wine);
}

TEST_F(SimulatorSearch, UnreadableGameFilesAreSkippedWithoutWaiting) {
    unsetenv("WINEPREFIX");
    const std::string games = home + "/.config/lutris/games";
    const std::string expected = installInPrefix(dir / "good");
    installInPrefix(dir / "other");
    MakeDirs(games);
    ASSERT_EQ(mkfifo((games + "/a-pipe.yml").c_str(), 0600), 0);
    WriteFile(games + "/b-huge.yml", GameFile(dir / "other") + "notes: '" + std::string(1 << 20, 'x') + "'\n");
    WriteFile(games + "/c-broken.yml", "game:\n  prefix: \"" + (dir / "other") + "\n");
    MakeDirs(games + "/d-folder.yml");
    WriteFile(games + "/e-good.yml", GameFile(dir / "good"));
    EXPECT_EQ(propose(), expected);
}

}  // namespace
}  // namespace vrx
