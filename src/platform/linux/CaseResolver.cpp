#include "platform/linux/CaseResolver.h"

#include <dirent.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/linux/CaseFold.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

// A listing taken this soon after the folder changed may have missed a
// change made within the same tick of the file system's clock (a few
// milliseconds on most, whole seconds on some), so a name it lacks is looked for again.
constexpr long long kRacyWindowNs = 1'000'000'000;
// Beyond this many folders the remembered listings are dropped and rebuilt on demand.
constexpr std::size_t kMaxListings = 256;

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool IsRecent(const timespec& modified) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long age = (static_cast<long long>(now.tv_sec) - modified.tv_sec) * 1'000'000'000LL +
                          (static_cast<long long>(now.tv_nsec) - modified.tv_nsec);
    return age < kRacyWindowNs;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::string ThroughLink(const CaseResolver::Entry& entry) {
    if (!entry.isLink) return entry.path;
    std::unique_ptr<char, decltype(&std::free)> real(realpath(entry.path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : entry.path;
}

std::string ParentFolder(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;  // ignore a trailing separator
    const std::size_t slash = path.rfind('/', end - 1);
    if (slash == std::string::npos) return ".";
    std::size_t parentEnd = slash;
    while (parentEnd > 0 && path[parentEnd - 1] == '/') --parentEnd;
    return parentEnd == 0 ? "/" : path.substr(0, parentEnd);
}

std::string LastComponent(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;
    const std::size_t slash = path.rfind('/', end - 1);
    return slash == std::string::npos ? path.substr(0, end) : path.substr(slash + 1, end - slash - 1);
}

std::string ChildPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

CaseResolver::Entry CaseResolver::resolve(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;
    if (end == path.size()) return resolveComponents(path);
    Entry entry = resolveComponents(path.substr(0, end));
    if (entry.path != "/") entry.path += path.substr(end);
    return entry;
}

std::string CaseResolver::respell(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    // Relative, at the root, or ending in a separator: the ordinary way.
    if (slash == std::string::npos || slash + 1 == path.size()) return resolve(path).path;
    std::size_t parentEnd = slash;
    while (parentEnd > 0 && path[parentEnd - 1] == '/') --parentEnd;
    if (parentEnd == 0) return resolve(path).path;
    const std::string name = path.substr(slash + 1);
    if (name == "." || name == "..") return path;
    const Entry parent = resolveComponents(path.substr(0, parentEnd));
    if (!parent.exists || !S_ISDIR(parent.st.st_mode)) return ChildPath(parent.path, name);
    const std::string* actual = lookup(parent.path, parent.st, name, false);
    return ChildPath(parent.path, actual ? *actual : name);
}

CaseResolver::Entry CaseResolver::resolveComponents(const std::string& path) {
    Entry given;
    given.path = path;
    if (path.empty()) return given;
    if (examine(given)) return given;
    // Unreadable folders, looping or dangling links: keep the path as given.
    if (given.isLink || (errno != ENOENT && errno != ENOTDIR)) return given;

    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return given;

    Entry parent;
    if (slash == std::string::npos) {
        parent.path = ".";
        parent.exists = ::stat(".", &parent.st) == 0;
    } else {
        std::size_t parentEnd = slash;
        while (parentEnd > 0 && path[parentEnd - 1] == '/') --parentEnd;
        if (parentEnd == 0) {
            parent.path = "/";
            parent.exists = ::stat("/", &parent.st) == 0;
        } else {
            parent = resolveComponents(path.substr(0, parentEnd));
        }
    }
    auto childOf = [&](const std::string& child) {
        return slash == std::string::npos ? child : ChildPath(parent.path, child);
    };

    Entry result;
    result.path = childOf(name);
    if (!parent.exists || !S_ISDIR(parent.st.st_mode)) return result;

    for (const bool forceRelist : {false, true}) {
        const std::string* actual = lookup(parent.path, parent.st, name, forceRelist);
        if (!actual) return result;
        result.path = childOf(*actual);
        if (examine(result) || result.isLink) return result;
        // The remembered entry has gone since the listing: look once more.
    }
    result.path = childOf(name);
    return result;
}

bool CaseResolver::examine(Entry& entry) {
    // lstat costs the same as stat and tells links apart; only links need a second call.
    entry.isLink = false;
    if (::lstat(entry.path.c_str(), &entry.st) != 0) return false;
    if (S_ISLNK(entry.st.st_mode)) {
        entry.isLink = true;
        if (::stat(entry.path.c_str(), &entry.st) != 0) return false;
    }
    entry.exists = true;
    return true;
}

const std::string* CaseResolver::lookup(const std::string& folder, const struct stat& folderStat,
                                        const std::string& name, bool forceRelist) {
    const std::string folded = FoldCase(name);
    Listing* listing = nullptr;
    if (auto it = listings_.find(folder); it != listings_.end() && !forceRelist) {
        const Listing& known = it->second;
        if (known.device == folderStat.st_dev && known.inode == folderStat.st_ino &&
            SameTime(known.modified, folderStat.st_mtim)) {
            listing = &it->second;
        }
    }
    if (listing) {
        if (auto found = listing->byFoldedName.find(folded); found != listing->byFoldedName.end()) {
            return &found->second;
        }
        if (!listing->racy) return nullptr;
    }
    listing = relist(folder, folderStat);
    if (!listing) return nullptr;
    auto found = listing->byFoldedName.find(folded);
    return found == listing->byFoldedName.end() ? nullptr : &found->second;
}

CaseResolver::Listing* CaseResolver::relist(const std::string& folder, const struct stat& folderStat) {
    listings_.erase(folder);
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return nullptr;
    Listing listing;
    struct stat st {};
    // The stamp is taken before reading, so a change during the listing shows up next time.
    if (fstat(dirfd(dir.get()), &st) != 0) st = folderStat;
    listing.device = st.st_dev;
    listing.inode = st.st_ino;
    listing.modified = st.st_mtim;
    listing.racy = IsRecent(st.st_mtim);
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || IsOurTemporaryName(name)) continue;
        listing.byFoldedName.try_emplace(FoldCase(name), name);  // the first spelling listed wins
    }
    if (listings_.size() >= kMaxListings) listings_.clear();
    return &(listings_[folder] = std::move(listing));
}

void CaseResolver::refreshStamp(const std::string& folder, Listing& listing) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        listings_.erase(folder);
        return;
    }
    listing.device = st.st_dev;
    listing.inode = st.st_ino;
    listing.modified = st.st_mtim;
    listing.racy = false;
}

void CaseResolver::noteAdded(std::string_view folder, std::string_view name) {
    auto it = listings_.find(folder);
    if (it == listings_.end()) return;
    it->second.byFoldedName.try_emplace(FoldCase(name), name);
    refreshStamp(it->first, it->second);
}

void CaseResolver::noteRemoved(const std::string& folder, const std::string& name) {
    auto it = listings_.find(folder);
    if (it == listings_.end()) return;
    auto& names = it->second.byFoldedName;
    if (auto found = names.find(FoldCase(name)); found != names.end() && found->second == name) {
        // Another spelling of the name may still be on disk; only a new listing can tell.
        listings_.erase(it);
        return;
    }
    refreshStamp(folder, it->second);
}

}  // namespace vrx
