#pragma once
// Where the simulator may be on Linux, in order: our own registry store (and
// behind it the Wine prefix, as the registry reads), the Wine prefix itself,
// then every Steam library: each Proton prefix (steamapps/compatdata/<id>/pfx),
// then the library's steamapps/common/FSX; then the prefixes game launchers
// made (LauncherPrefixes.h). Each prefix is read the same way: the folder its
// registry names, then the folders the simulator installs to by default
// (StandardSimulatorFolders); a prefix met twice is read once.

#include <string>
#include <vector>

#include "platform/SimulatorPlaces.h"
#include "platform/linux/LinuxRegistry.h"

namespace vrx {

class FileSystem;

struct SimulatorSearchLocations {
    RegistryLocations registry;
    std::vector<std::string> steamRoots;  // folders that hold steamapps/libraryfolders.vdf
    std::string home;                     // the user's home folder, below which launchers keep their prefixes
};

// Steam's roots below home: ~/.steam/steam, ~/.local/share/Steam and the Flatpak's.
std::vector<std::string> SteamRoots(const std::string& home);

// From the environment: the registry's locations, the Steam roots of $HOME and $HOME.
SimulatorSearchLocations DefaultSimulatorSearchLocations();

// The libraries the roots' libraryfolders.vdf files list, in order, each
// once (a root reached through a link is the same library). A missing,
// unreadable, malformed or oversized file lists none.
std::vector<std::string> SteamLibraries(const std::vector<std::string>& steamRoots);

// The Proton prefixes of a library, steamapps/compatdata/<id>/pfx, by id.
std::vector<std::string> ProtonPrefixes(const std::string& library);

// The folders of prefix that the simulator installs to by default and that
// exist, in their spelling on disk: Program Files (x86), then Program Files,
// each with Microsoft Games/Microsoft Flight Simulator X, then Steam's steamapps/common/FSX.
std::vector<std::string> StandardSimulatorFolders(const std::string& prefix);

class LinuxSimulatorPlaces final : public SimulatorPlaces {
public:
    LinuxSimulatorPlaces(SimulatorSearchLocations locations, FileSystem& fs);
    void Visit(const std::function<bool(const SimulatorPlace&)>& visit) override;

private:
    SimulatorSearchLocations locations_;
    FileSystem& fs_;
};

}  // namespace vrx
