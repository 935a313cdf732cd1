#include "platform/linux/LinuxSimulatorPlaces.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/linux/HomeFolder.h"
#include "platform/linux/RegularFileText.h"
#include "platform/linux/SteamLibraryFolders.h"

namespace vrx {

namespace {

std::string RealPathOf(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::vector<std::string> SteamRoots(const std::string& home) {
    return {home + "/.steam/steam", home + "/.local/share/Steam",
            home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam"};
}

SimulatorSearchLocations DefaultSimulatorSearchLocations() {
    return {DefaultRegistryLocations(), SteamRoots(HomeFolder())};
}

std::vector<std::string> SteamLibraries(const std::vector<std::string>& steamRoots) {
    std::vector<std::string> libraries;
    std::vector<std::string> seen;
    for (const std::string& root : steamRoots) {
        const auto text = ReadRegularFileText(root + "/steamapps/libraryfolders.vdf", kMaxLibraryFoldersText);
        if (!text) continue;
        const auto listed = ParseLibraryFolders(*text);
        if (!listed) continue;
        for (const std::string& library : *listed) {
            if (library.empty() || library.front() != '/') continue;  // only absolute paths name a place
            const std::string real = RealPathOf(library);
            if (std::find(seen.begin(), seen.end(), real) != seen.end()) continue;
            seen.push_back(real);
            libraries.push_back(library);
        }
    }
    return libraries;
}

std::vector<std::string> ProtonPrefixes(const std::string& library) {
    const std::string compatdata = library + "/steamapps/compatdata";
    std::vector<std::string> ids;
    if (DIR* dir = ::opendir(compatdata.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            ids.push_back(name);
        }
        ::closedir(dir);
    }
    // Numeric ids by value, then anything else by name.
    std::sort(ids.begin(), ids.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    std::vector<std::string> prefixes;
    for (const std::string& id : ids) {
        const std::string prefix = compatdata + "/" + id + "/pfx";
        if (IsFolder(prefix)) prefixes.push_back(prefix);
    }
    return prefixes;
}

LinuxSimulatorPlaces::LinuxSimulatorPlaces(SimulatorSearchLocations locations, FileSystem& fs)
    : locations_(std::move(locations)), fs_(fs) {}

void LinuxSimulatorPlaces::Visit(const std::function<bool(const SimulatorPlace&)>& visit) {
    // Our store first, then the Wine prefix behind it, as every registry read goes.
    LinuxRegistry ours(locations_.registry, fs_);
    if (visit({&ours, {}})) return;
    // The prefix alone, for when our store names a folder without the simulator.
    LinuxRegistry wine({std::string(), locations_.registry.winePrefix}, fs_);
    if (visit({&wine, {}})) return;
    for (const std::string& library : SteamLibraries(locations_.steamRoots)) {
        for (const std::string& prefix : ProtonPrefixes(library)) {
            LinuxRegistry proton({std::string(), prefix}, fs_);
            if (visit({&proton, {}})) return;
        }
        if (visit({nullptr, library + "/steamapps/common/FSX"})) return;
    }
}

}  // namespace vrx
