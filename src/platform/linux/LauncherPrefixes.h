#pragma once
// Wine prefixes that game launchers made below the user's home folder, in
// the order the simulator is looked for in them:
//   1. the prefixes Lutris records in its games' files, ~/.config/lutris/games/*.yml
//      and then ~/.local/share/lutris/games/*.yml (it has kept them in both);
//   2. Lutris's default folder for games, ~/Games/*/ (a game's folder is its prefix);
//   3. Bottles' bottles, ~/.local/share/bottles/bottles/*/, then those of its
//      Flatpak, ~/.var/app/com.usebottles.bottles/data/bottles/bottles/*/;
//   4. PlayOnLinux's prefixes, ~/.PlayOnLinux/wineprefix/*/.
// Within a folder, entries come in byte order of their names, hidden ones
// (".name") left out as a shell's "*" leaves them. A folder counts as a
// prefix when it holds drive_c or system.reg; each prefix comes once, the
// first time it is met (a link to one is the same prefix).

#include <cstddef>
#include <string>
#include <vector>

namespace vrx {

// Entries read from one folder at most; the rest are passed over, so that a
// folder of many thousand files cannot hold up the start.
inline constexpr std::size_t kMaxLauncherFolderEntries = 4096;

struct LauncherPrefix {
    std::string folder;    // the prefix, without a trailing "/"
    std::string launcher;  // "Lutris", "Bottles" or "PlayOnLinux"
    bool operator==(const LauncherPrefix&) const = default;
};

// The launchers' prefixes below home, in the order above. A game file that
// is missing, unreadable, no regular file, larger than the reader takes or
// malformed, or that names a relative path or no prefix, adds nothing.
std::vector<LauncherPrefix> LauncherPrefixes(const std::string& home);

// The names in folder that do not begin with "." (so neither "." nor ".."),
// in byte order; at most limit of them, the first in that order.
std::vector<std::string> SortedVisibleNames(const std::string& folder, std::size_t limit = kMaxLauncherFolderEntries);

// Whether folder looks like a Wine prefix: it holds drive_c or system.reg.
bool LooksLikeWinePrefix(const std::string& folder);

}  // namespace vrx
