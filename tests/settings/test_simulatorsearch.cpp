// Finding the simulator on a machine laid out in a temporary folder (HOME,
// WINEPREFIX and XDG_CONFIG_HOME point into it): our registry store, a Wine
// prefix, Steam's libraries with their Proton prefixes and common/FSX.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
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

class SimulatorSearch : public ::testing::Test {
protected:
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

    // A prefix whose C: drive is drive_c, as Wine lays it out.
    void makePrefix(const std::string& prefix, const std::string& systemReg) {
        WriteFile(prefix + "/system.reg", systemReg);
        MakeDirs(prefix + "/drive_c");
        MakeDirs(prefix + "/dosdevices");
        ASSERT_EQ(symlink("../drive_c", (prefix + "/dosdevices/c:").c_str()), 0);
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
    WriteFile(dir / "config/verdantis/registry.reg",
              "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1\n"
              "\"SetupPath\"=\"" +
                  ours + "\\\\\"\n");
    const std::string prefix = dir / "wineprefix";
    makePrefix(prefix, SystemReg("C:\\\\FSX", true));
    MakeDirs(prefix + "/drive_c/FSX");
    EXPECT_EQ(propose(), ours);
}

TEST_F(SimulatorSearch, OurStoreComesFirstWhenItsFolderHoldsTheSimulator) {
    const std::string ours = dir / "ours";
    WriteFile(ours + "/FSX.exe", "MZ");
    WriteFile(dir / "config/verdantis/registry.reg",
              "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1\n"
              "\"SetupPath\"=\"" +
                  ours + "\\\\\"\n");
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

}  // namespace
}  // namespace vrx
