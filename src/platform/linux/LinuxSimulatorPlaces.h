#pragma once
// Where the simulator may be on Linux, in order: our own registry store (and
// behind it the Wine prefix, as the registry reads), the Wine prefix itself,
// then every Steam library: each Proton prefix (steamapps/compatdata/<id>/pfx,
// read like a Wine prefix), then the library's steamapps/common/FSX.

#include <string>
#include <vector>

#include "platform/SimulatorPlaces.h"
#include "platform/linux/LinuxRegistry.h"

namespace vrx {

class FileSystem;

struct SimulatorSearchLocations {
    RegistryLocations registry;
    std::vector<std::string> steamRoots;  // folders that hold steamapps/libraryfolders.vdf
};

// Steam's roots below home: ~/.steam/steam, ~/.local/share/Steam and the Flatpak's.
std::vector<std::string> SteamRoots(const std::string& home);

// From the environment: the registry's locations and the Steam roots of $HOME.
SimulatorSearchLocations DefaultSimulatorSearchLocations();

// The libraries the roots' libraryfolders.vdf files list, in order, each
// once (a root reached through a link is the same library). A missing,
// unreadable, malformed or oversized file lists none.
std::vector<std::string> SteamLibraries(const std::vector<std::string>& steamRoots);

// The Proton prefixes of a library, steamapps/compatdata/<id>/pfx, by id.
std::vector<std::string> ProtonPrefixes(const std::string& library);

class LinuxSimulatorPlaces final : public SimulatorPlaces {
public:
    LinuxSimulatorPlaces(SimulatorSearchLocations locations, FileSystem& fs);
    void Visit(const std::function<bool(const SimulatorPlace&)>& visit) override;

private:
    SimulatorSearchLocations locations_;
    FileSystem& fs_;
};

}  // namespace vrx
