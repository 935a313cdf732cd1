#include "platform/linux/SimulatorDialogPlaces.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/linux/CaseResolver.h"
#include "platform/linux/LauncherPrefixes.h"
#include "platform/linux/PrefixPaths.h"

namespace vrx {

namespace {

// A prefix's Microsoft Games folders, the 32-bit programs' one first.
constexpr const char* kMicrosoftGames[] = {
    "/drive_c/Program Files (x86)/Microsoft Games",
    "/drive_c/Program Files/Microsoft Games",
};

std::string MicrosoftGamesOf(const std::string& prefix) {
    for (const char* folder : kMicrosoftGames) {
        if (IsFolder(prefix + folder)) return prefix + folder;
    }
    return "";
}

class PlaceList {
public:
    void add(const std::string& folder, const std::string& label) {
        if (!IsFolder(folder)) return;
        const std::string real = RealPathOf(folder);
        if (std::find(seen_.begin(), seen_.end(), real) != seen_.end()) return;
        seen_.push_back(real);
        places_.push_back({folder, label});
    }
    // The first prefix with a Microsoft Games folder gives the open dialog's start.
    void consider(const std::string& prefix) {
        if (likely_.empty()) likely_ = MicrosoftGamesOf(prefix);
    }

    DialogPlaces take(const std::string& home) {
        DialogPlaces result{std::move(places_), std::move(likely_)};
        if (result.openStartFolder.empty() && !result.places.empty()) {
            result.openStartFolder = result.places.front().folder;
        }
        if (result.openStartFolder.empty() && !home.empty() && IsFolder(home)) result.openStartFolder = home;
        return result;
    }

private:
    std::vector<std::string> seen_;
    std::vector<DialogPlace> places_;
    std::string likely_;
};

}  // namespace

DialogPlaces SimulatorDialogPlaces(const SimulatorSearchLocations& locations) {
    PlaceList list;
    const std::string& wine = locations.registry.winePrefix;
    if (!wine.empty()) {
        list.add(wine + "/drive_c", "Wine: " + LastComponent(wine));
        list.consider(wine);
    }
    for (const std::string& library : SteamLibraries(locations.steamRoots)) {
        for (const std::string& prefix : ProtonPrefixes(library)) {
            // steamapps/compatdata/<id>/pfx
            if (!MicrosoftGamesOf(prefix).empty()) {
                list.add(prefix + "/drive_c", "Proton: " + LastComponent(ParentFolder(prefix)));
            }
            list.consider(prefix);
        }
        list.add(library + "/steamapps/common", "Steam: " + LastComponent(library));
    }
    if (!locations.home.empty()) {
        for (const LauncherPrefix& prefix : LauncherPrefixes(locations.home)) {
            list.add(prefix.folder + "/drive_c", prefix.launcher + ": " + LastComponent(prefix.folder));
            list.consider(prefix.folder);
        }
    }
    return list.take(locations.home);
}

}  // namespace vrx
