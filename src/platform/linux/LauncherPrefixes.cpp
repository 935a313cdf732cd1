#include "platform/linux/LauncherPrefixes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/linux/LutrisGameConfig.h"
#include "platform/linux/PrefixPaths.h"
#include "platform/linux/RegularFileText.h"

namespace vrx {

namespace {

class PrefixList {
public:
    void add(const std::string& folder, const char* launcher) {
        if (!IsFolder(folder) || !LooksLikeWinePrefix(folder)) return;
        const std::string real = RealPathOf(folder);
        if (std::find(seen_.begin(), seen_.end(), real) != seen_.end()) return;
        seen_.push_back(real);
        prefixes_.push_back({folder, launcher});
    }

    // Every visible subfolder of folder, in name order.
    void addSubfolders(const std::string& folder, const char* launcher) {
        for (const std::string& name : SortedVisibleNames(folder)) add(folder + "/" + name, launcher);
    }

    std::vector<LauncherPrefix> take() { return std::move(prefixes_); }

private:
    std::vector<std::string> seen_;
    std::vector<LauncherPrefix> prefixes_;
};

// The prefix a Lutris game's file records, when it records a usable one.
std::optional<std::string> LutrisGamePrefix(const std::string& file, const std::string& home) {
    const std::optional<std::string> text = ReadRegularFileText(file, kMaxLutrisGameConfigText);
    if (!text) return std::nullopt;
    const std::optional<std::string> value = ReadLutrisGamePrefix(*text);
    if (!value) return std::nullopt;
    return LutrisPrefixFolder(*value, home);
}

}  // namespace

std::vector<std::string> SortedVisibleNames(const std::string& folder, std::size_t limit) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > limit) names.resize(limit);
    return names;
}

bool LooksLikeWinePrefix(const std::string& folder) {
    struct stat st {};
    return IsFolder(folder + "/drive_c") || ::stat((folder + "/system.reg").c_str(), &st) == 0;
}

std::vector<LauncherPrefix> LauncherPrefixes(const std::string& home) {
    PrefixList list;
    for (const char* games : {"/.config/lutris/games", "/.local/share/lutris/games"}) {
        const std::string folder = home + games;
        for (const std::string& name : SortedVisibleNames(folder)) {
            if (!name.ends_with(".yml")) continue;
            if (const auto prefix = LutrisGamePrefix(folder + "/" + name, home)) list.add(*prefix, "Lutris");
        }
    }
    list.addSubfolders(home + "/Games", "Lutris");
    list.addSubfolders(home + "/.local/share/bottles/bottles", "Bottles");
    list.addSubfolders(home + "/.var/app/com.usebottles.bottles/data/bottles/bottles", "Bottles");
    list.addSubfolders(home + "/.PlayOnLinux/wineprefix", "PlayOnLinux");
    return list.take();
}

}  // namespace vrx
