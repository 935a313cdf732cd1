// The places the file and folder dialogs offer, from a machine laid out in a
// temporary folder: each prefix's drive_c and each Steam library's
// steamapps/common in the search's order under their names, and the folder
// the simulator's file dialog opens in.

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/linux/LinuxSimulatorPlaces.h"
#include "platform/linux/SimulatorDialogPlaces.h"
#include "support/TempDir.h"

namespace vrx {
namespace {

using test::MakeDirs;
using test::WriteFile;

struct Machine {
    test::TempDir dir;
    std::string home = dir / "home";

    SimulatorSearchLocations locations() const {
        return {{home + "/.config/verdantis/registry.reg", home + "/.wine"}, SteamRoots(home), home};
    }

    void writeLibraries(const std::string& root, const std::vector<std::string>& libraries) {
        std::string text = "\"libraryfolders\"\n{\n";
        for (std::size_t i = 0; i < libraries.size(); ++i) {
            text += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + libraries[i] + "\"\n\t}\n";
        }
        WriteFile(root + "/steamapps/libraryfolders.vdf", text + "}\n");
    }
};

TEST(SimulatorDialogPlaces, EveryPrefixAndLibraryInTheSearchsOrderUnderItsName) {
    Machine m;
    const std::string& home = m.home;
    MakeDirs(home + "/.wine/drive_c/Program Files (x86)/Microsoft Games");
    const std::string root = home + "/.local/share/Steam";
    const std::string disk2 = m.dir / "disk2/SteamLibrary";
    m.writeLibraries(root, {root, disk2});
    // Steam's prefix of another game is left out; the one with Microsoft Games is not.
    MakeDirs(root + "/steamapps/compatdata/228980/pfx/drive_c/Program Files (x86)/Common Files");
    MakeDirs(root + "/steamapps/compatdata/314160/pfx/drive_c/Program Files/Microsoft Games");
    MakeDirs(root + "/steamapps/common/Proton 8.0");
    MakeDirs(disk2 + "/steamapps/common");
    MakeDirs(m.dir / "prefixes/fsx/drive_c");
    WriteFile(home + "/.config/lutris/games/fsx.yml", "game:\n  prefix: " + (m.dir / "prefixes/fsx") + "\n");
    const std::string bottles = home + "/.local/share/bottles/bottles";
    MakeDirs(bottles + "/FSX/drive_c");
    MakeDirs(home + "/.PlayOnLinux/wineprefix");
    ASSERT_EQ(symlink((bottles + "/FSX").c_str(), (home + "/.PlayOnLinux/wineprefix/FSX").c_str()), 0);

    const DialogPlaces places = SimulatorDialogPlaces(m.locations());
    EXPECT_EQ(places.places, (std::vector<DialogPlace>{
                                 {home + "/.wine/drive_c", "Wine: .wine"},
                                 {root + "/steamapps/compatdata/314160/pfx/drive_c", "Proton: 314160"},
                                 {root + "/steamapps/common", "Steam: Steam"},
                                 {disk2 + "/steamapps/common", "Steam: SteamLibrary"},
                                 {m.dir / "prefixes/fsx/drive_c", "Lutris: fsx"},
                                 {bottles + "/FSX/drive_c", "Bottles: FSX"},
                             }));
    EXPECT_EQ(places.openStartFolder, home + "/.wine/drive_c/Program Files (x86)/Microsoft Games");
}

// A machine's layout and the folder the file dialog must open in.
struct StartCase {
    const char* name;
    std::function<std::string(Machine&)> layOut;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class OpenStartFolder : public ::testing::TestWithParam<StartCase> {};

TEST_P(OpenStartFolder, IsWhereTheSimulatorMostLikelyIs) {
    Machine m;
    const std::string expected = GetParam().layOut(m);
    EXPECT_EQ(SimulatorDialogPlaces(m.locations()).openStartFolder, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OpenStartFolder,
    ::testing::Values(
        StartCase{"TheFirstPrefixWithMicrosoftGames",
                  [](Machine& m) {
                      MakeDirs(m.home + "/.wine/drive_c/Program Files");
                      MakeDirs(m.home + "/.local/share/bottles/bottles/A/drive_c/Program Files (x86)/Games");
                      MakeDirs(m.home + "/.local/share/bottles/bottles/B/drive_c/Program Files/Microsoft Games");
                      MakeDirs(m.home + "/.local/share/bottles/bottles/C/drive_c/Program Files (x86)/Microsoft Games");
                      return m.home + "/.local/share/bottles/bottles/B/drive_c/Program Files/Microsoft Games";
                  }},
        StartCase{"The32BitProgramsFolderFirst",
                  [](Machine& m) {
                      MakeDirs(m.home + "/Games/fsx/drive_c/Program Files/Microsoft Games");
                      MakeDirs(m.home + "/Games/fsx/drive_c/Program Files (x86)/Microsoft Games");
                      return m.home + "/Games/fsx/drive_c/Program Files (x86)/Microsoft Games";
                  }},
        StartCase{"AProtonPrefixsMicrosoftGames",
                  [](Machine& m) {
                      const std::string root = m.home + "/.steam/steam";
                      m.writeLibraries(root, {root});
                      MakeDirs(root + "/steamapps/compatdata/314160/pfx/drive_c/Program Files (x86)/Microsoft Games");
                      MakeDirs(m.home + "/.PlayOnLinux/wineprefix/FSX/drive_c/Program Files (x86)/Microsoft Games");
                      return root + "/steamapps/compatdata/314160/pfx/drive_c/Program Files (x86)/Microsoft Games";
                  }},
        StartCase{"WithoutMicrosoftGamesTheFirstPlace",
                  [](Machine& m) {
                      MakeDirs(m.home + "/.PlayOnLinux/wineprefix/FSX/drive_c/windows");
                      return m.home + "/.PlayOnLinux/wineprefix/FSX/drive_c";
                  }},
        StartCase{"WithoutAnyPlaceTheHomeFolder",
                  [](Machine& m) {
                      MakeDirs(m.home + "/Documents");
                      return m.home;
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vrx
