#include "platform/linux/LinuxSimulatorPlaces.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/linux/CaseResolver.h"
#include "platform/linux/HomeFolder.h"
#include "platform/linux/LauncherPrefixes.h"
#include "platform/linux/PrefixPaths.h"
#include "platform/linux/RegularFileText.h"
#include "platform/linux/SteamLibraryFolders.h"

namespace vrx {

namespace {

// Where the simulator's installers put it inside a prefix, before any other choice.
constexpr const char* kStandardFolders[] = {
    "drive_c/Program Files (x86)/Microsoft Games/Microsoft Flight Simulator X",
    "drive_c/Program Files/Microsoft Games/Microsoft Flight Simulator X",
    "drive_c/Program Files (x86)/Steam/steamapps/common/FSX",
    "drive_c/Program Files/Steam/steamapps/common/FSX",
};

}  // namespace

std::vector<std::string> SteamRoots(const std::string& home) {
    return {home + "/.steam/steam", home + "/.local/share/Steam",
            home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam"};
}

SimulatorSearchLocations DefaultSimulatorSearchLocations() {
    return {DefaultRegistryLocations(), SteamRoots(HomeFolder()), HomeFolder()};
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

std::vector<std::string> StandardSimulatorFolders(const std::string& prefix) {
    std::vector<std::string> folders;
    CaseResolver resolver;
    for (const char* folder : kStandardFolders) {
        const CaseResolver::Entry entry = resolver.resolve(prefix + "/" + folder);
        if (entry.exists && S_ISDIR(entry.st.st_mode)) folders.push_back(entry.path);
    }
    return folders;
}

LinuxSimulatorPlaces::LinuxSimulatorPlaces(SimulatorSearchLocations locations, FileSystem& fs)
    : locations_(std::move(locations)), fs_(fs) {}

void LinuxSimulatorPlaces::Visit(const std::function<bool(const SimulatorPlace&)>& visit) {
    // Our store first, then the Wine prefix behind it, as every registry read goes.
    LinuxRegistry ours(locations_.registry, fs_);
    if (visit({&ours, {}})) return;
    std::vector<std::string> seen;
    // A prefix: the folder its registry names, then the standard folders; true once visit is satisfied.
    const auto visitPrefix = [&](const std::string& prefix) {
        const std::string real = RealPathOf(prefix);
        if (std::find(seen.begin(), seen.end(), real) != seen.end()) return false;
        seen.push_back(real);
        LinuxRegistry registry({std::string(), prefix}, fs_);
        if (visit({&registry, {}})) return true;
        for (const std::string& folder : StandardSimulatorFolders(prefix)) {
            if (visit({nullptr, folder})) return true;
        }
        return false;
    };
    // The prefix alone, for when our store names a folder without the simulator.
    if (visitPrefix(locations_.registry.winePrefix)) return;
    for (const std::string& library : SteamLibraries(locations_.steamRoots)) {
        for (const std::string& prefix : ProtonPrefixes(library)) {
            if (visitPrefix(prefix)) return;
        }
        if (visit({nullptr, library + "/steamapps/common/FSX"})) return;
    }
    if (locations_.home.empty()) return;
    for (const LauncherPrefix& prefix : LauncherPrefixes(locations_.home)) {
        if (visitPrefix(prefix.folder)) return;
    }
}

}  // namespace vrx
