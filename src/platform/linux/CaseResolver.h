#pragma once
// Finds the entry a path means when its letter case differs from the disk's,
// as Windows does. Each folder's names are listed once and kept, keyed by the
// folder's modification time, so resolving many names in one folder stays
// linear; changes this program makes itself are recorded without a new listing.

#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vrx {

class CaseResolver {
public:
    // A resolved path and, when it exists, what stat (following links) says of it.
    struct Entry {
        std::string path;
        bool exists = false;
        bool isLink = false;  // path itself is a symbolic link (st describes what it points to)
        struct stat st {};
    };

    // The exact path when it exists (one stat); otherwise each missing
    // component is matched without regard to case; components that match
    // nothing keep the spelling given. A trailing "/" is kept.
    Entry resolve(const std::string& path);

    // The on-disk spelling of a path whose exact spelling was just found
    // missing: the folders are resolved and the last name matched without
    // regard to case, without looking at the exact path or the match again.
    // The path as given when nothing matches.
    std::string respell(const std::string& path);

    // Records that this program created name in folder (or renamed something to it).
    void noteAdded(std::string_view folder, std::string_view name);
    // Records that this program removed name from folder.
    void noteRemoved(const std::string& folder, const std::string& name);

private:
    struct Listing {
        dev_t device = 0;
        ino_t inode = 0;
        timespec modified{};
        bool racy = false;  // listed within the file system's time resolution of a change
        std::unordered_map<std::string, std::string> byFoldedName;
    };

    Entry resolveComponents(const std::string& path);
    // Fills entry.st from path, following a link; false when nothing usable is there.
    static bool examine(Entry& entry);
    // The on-disk spelling of name in folder (whose stat is folderStat), or nullptr.
    const std::string* lookup(const std::string& folder, const struct stat& folderStat, const std::string& name,
                              bool forceRelist);
    Listing* relist(const std::string& folder, const struct stat& folderStat);
    void refreshStamp(const std::string& folder, Listing& listing);

    // Hashes a folder's path however it is held, so that a listing is found without building a key.
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view path) const { return std::hash<std::string_view>{}(path); }
    };
    std::unordered_map<std::string, Listing, PathHash, std::equal_to<>> listings_;
};

// Where a write to entry lands: a link is written through to the file it names, as on Windows.
std::string ThroughLink(const CaseResolver::Entry& entry);

// The folder part of path ("." when it has none, "/" for the root).
std::string ParentFolder(const std::string& path);
// The last component of path.
std::string LastComponent(const std::string& path);
// folder + "/" + name without doubling a separator.
std::string ChildPath(const std::string& folder, const std::string& name);

}  // namespace vrx
