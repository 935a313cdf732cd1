#include "platform/linux/LinuxFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "platform/TextCodec.h"
#include "platform/TextLines.h"
#include "platform/linux/AtomicWrite.h"
#include "platform/linux/CaseResolver.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/FileCopier.h"
#include "platform/linux/FolderHandle.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// The largest data file read as text. Ours (settings, catalogue, backup list,
// history) hold kilobytes; a file far beyond, or a sparse one that only claims
// to be, is refused like an unreadable one instead of exhausting memory.
constexpr std::uint64_t kMaxTextFile = std::uint64_t{256} << 20;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Whether the listed entry is a plain file (links followed); folders and
// dangling links are not, nor are pipes and devices, which a copy would hang on or misread.
bool IsRegularEntry(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_REG) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat st {};
    return fstatat(folderFd, entry.d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

// Failures shared by the text writes: a folder or a read-only file is never
// replaced (root could, so the attribute itself is checked).
bool RefusesWrites(const CaseResolver::Entry& entry) {
    return entry.exists && (S_ISDIR(entry.st.st_mode) || (entry.st.st_mode & kWriteBits) == 0);
}

// A second listing this soon after the first takes what the first learned of
// files that are still the same inode; the two listings of one copy run are
// milliseconds apart.
constexpr std::chrono::seconds kListingReuse{2};

// What the last listing learned of each plain file of its folder, so that a
// second listing of the folder and the copies of its files need not ask again.
struct Listing {
    std::string given;  // the folder as asked for
    std::string path;   // as found on disk
    dev_t device = 0;   // the folder's file system
    std::chrono::steady_clock::time_point when;
    bool duringRun = false;  // made during the current run of copies
    // Found by a view of the name, without building a key.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    std::unordered_map<std::string, ListedFile, NameHash, std::equal_to<>> files;

    const ListedFile* find(std::string_view folder, std::string_view name) const {
        if (folder != given && folder != path) return nullptr;
        const auto it = files.find(name);
        return it == files.end() ? nullptr : &it->second;
    }
};

}  // namespace

struct LinuxFileSystem::Impl {
    CaseResolver resolver;
    FileCopier copier{resolver};
    Listing listing;
    bool inRun = false;
    std::function<void()> beforeRename;
    std::function<ssize_t(int, char*, std::size_t)> read = [](int fd, char* buffer, std::size_t size) {
        return ::read(fd, buffer, size);
    };
};

LinuxFileSystem::LinuxFileSystem() : impl_(std::make_unique<Impl>()) {}

LinuxFileSystem::~LinuxFileSystem() = default;

std::string LinuxFileSystem::resolve(const std::string& path) {
    return impl_->resolver.resolve(path).path;
}

void LinuxFileSystem::setBeforeRenameHookForTesting(std::function<void()> hook) {
    impl_->beforeRename = std::move(hook);
}

void LinuxFileSystem::setReadForTesting(std::function<ssize_t(int, char*, std::size_t)> read) {
    impl_->read = std::move(read);
}

void LinuxFileSystem::setOpenUnnamedForTesting(std::function<int(const std::string&, mode_t)> openUnnamed) {
    impl_->copier.setOpenUnnamedForTesting(std::move(openUnnamed));
}

void LinuxFileSystem::setExchangeForTesting(std::function<int(const std::string&, const std::string&)> exchange) {
    impl_->copier.setExchangeForTesting(std::move(exchange));
}

std::optional<std::vector<std::string>> LinuxFileSystem::listOrdinaryFiles(const std::string& folder) {
    const CaseResolver::Entry found = impl_->resolver.resolve(folder);
    const std::string& path = found.path;
    DirHandle dir(opendir(path.c_str()));
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR) return std::vector<std::string>{};
        return std::nullopt;
    }
    const auto now = std::chrono::steady_clock::now();
    const Listing& earlier = impl_->listing;
    const bool reuse = earlier.path == path && earlier.device == found.st.st_dev && now - earlier.when < kListingReuse;
    Listing listing{folder, path, found.st.st_dev, now, impl_->inRun, {}};
    std::vector<std::string> names;
    bool xattrsSupported = true;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) break;
        const std::string name = entry->d_name;
        // A dot file is hidden whatever its attribute says, as Wine has it (our temporaries are dot files).
        if (name == "." || name == ".." || NameLooksHidden(name)) continue;
        if (!IsRegularEntry(dirfd(dir.get()), *entry)) continue;
        // The entry's inode comes with the listing: a file still the same
        // inode as in the listing just before is not asked again.
        const ListedFile* known = reuse ? earlier.find(path, name) : nullptr;
        std::optional<std::string> raw;
        if (known && known->inode == entry->d_ino) {
            raw = known->dosAttrib;
        } else if (xattrsSupported) {
            raw = ReadDosAttribRaw(ChildPath(path, name));
            if (!raw && (errno == ENOTSUP || errno == EOPNOTSUPP)) xattrsSupported = false;  // the same for the folder
        }
        // Only plain entries are remembered: a link may point elsewhere next time.
        if (entry->d_type == DT_REG) listing.files[name] = {found.st.st_dev, entry->d_ino, raw};
        const std::optional<std::uint32_t> stored = raw ? ParseDosAttrib(*raw) : std::nullopt;
        const bool hiddenOrSystem = stored && (*stored & (AttrHidden | AttrSystem)) != 0;
        if (!hiddenOrSystem) names.push_back(name);
    }
    if (errno != 0) return std::nullopt;
    impl_->listing = std::move(listing);
    return names;
}

bool LinuxFileSystem::isOrdinaryFile(const std::string& path) {
    const auto entry = impl_->resolver.resolve(path);
    if (!entry.exists || !S_ISREG(entry.st.st_mode)) return false;
    return (DosAttributesOf(entry.path, entry.st) & (AttrHidden | AttrSystem)) == 0;
}

bool LinuxFileSystem::exists(const std::string& path) {
    return impl_->resolver.resolve(path).exists;
}

bool LinuxFileSystem::isFolder(const std::string& path) {
    const auto entry = impl_->resolver.resolve(path);
    return entry.exists && S_ISDIR(entry.st.st_mode);
}

std::optional<std::uint64_t> LinuxFileSystem::fileLength(const std::string& path) {
    const auto entry = impl_->resolver.resolve(path);
    if (!entry.exists || S_ISDIR(entry.st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(entry.st.st_size);
}

std::optional<std::uint32_t> LinuxFileSystem::attributes(const std::string& path) {
    const auto entry = impl_->resolver.resolve(path);
    if (!entry.exists) return std::nullopt;
    return DosAttributesOf(entry.path, entry.st);
}

DataFileAttributes LinuxFileSystem::attributesIfData(const std::string& path) {
    const auto entry = impl_->resolver.resolve(path);
    DataFileAttributes look;
    look.hasData = entry.exists && !S_ISDIR(entry.st.st_mode) && entry.st.st_size > 0;
    if (look.hasData) look.bits = DosAttributesOf(entry.path, entry.st);
    return look;
}

bool LinuxFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
    const auto entry = impl_->resolver.resolve(path);
    if (entry.isLink) return entry.exists;  // what the link names is not ours to change
    return entry.exists && SetDosAttributes(entry.path, entry.st, attributes);
}

// What the listing made during this run of copies learned of the file at path.
const ListedFile* LinuxFileSystem::listed(const std::string& path) const {
    if (!impl_->inRun || !impl_->listing.duringRun) return nullptr;
    const PathParts parts = SplitPath(path);
    if (!parts.folder.empty()) return impl_->listing.find(parts.folder, parts.name);
    return impl_->listing.find(ParentFolder(path), LastComponent(path));
}

CopyResult LinuxFileSystem::copyFile(const std::string& from, const std::string& to) {
    return impl_->copier.copy(from, to, impl_->beforeRename, listed(from));
}

CopyResult LinuxFileSystem::copyFileIfData(const std::string& from, const std::string& to) {
    // One look at the source serves both the test for data and the copy.
    return impl_->copier.copy(from, to, impl_->beforeRename, listed(from), true);
}

void LinuxFileSystem::beginCopyRun() {
    impl_->inRun = true;
}

void LinuxFileSystem::expectCopies(std::vector<ExpectedCopy> copies) {
    if (!impl_->inRun) return;
    impl_->copier.expect(std::move(copies), [this](const std::string& from) { return listed(from); });
}

void LinuxFileSystem::endCopyRun() {
    impl_->copier.stopAhead();
    impl_->copier.release();
    impl_->inRun = false;
    impl_->listing = {};
}

void LinuxFileSystem::removeLeftoverTemporaries(const std::string& folder) {
    impl_->copier.release();  // the kept temporary may be among them
    const std::string path = resolve(folder);
    DirHandle dir(opendir(path.c_str()));
    if (!dir) return;
    std::vector<std::string> leftovers;
    while (const dirent* entry = readdir(dir.get())) {
        if (IsOurTemporaryName(entry->d_name)) leftovers.emplace_back(entry->d_name);
    }
    for (const auto& name : leftovers) {
        struct stat st {};
        if (fstatat(dirfd(dir.get()), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)) continue;
        if (unlinkat(dirfd(dir.get()), name.c_str(), 0) == 0) impl_->resolver.noteRemoved(path, name);
    }
}

bool LinuxFileSystem::createFolder(const std::string& path) {
    // Resolving first means an existing folder in another letter case is not created twice.
    const auto entry = impl_->resolver.resolve(path);
    if (entry.exists || entry.isLink) return false;
    if (::mkdir(entry.path.c_str(), 0777) != 0) return false;
    impl_->resolver.noteAdded(ParentFolder(entry.path), LastComponent(entry.path));
    return true;
}

std::optional<std::string> LinuxFileSystem::absolutePath(const std::string& path) {
    std::string from;
    if (path.empty() || path.front() != '/') {
        std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
        // A current folder that was removed, or lies outside this process's root, has no path from it.
        if (!current || current.get()[0] != '/') return std::nullopt;
        from = current.get();
    }
    std::string absolute;
    const std::string whole = from + "/" + path;
    std::size_t start = 0;
    while (start <= whole.size()) {
        std::size_t end = whole.find('/', start);
        if (end == std::string::npos) end = whole.size();
        const std::string_view component(whole.data() + start, end - start);
        if (!component.empty() && component != ".") (absolute += '/') += component;
        start = end + 1;
    }
    return absolute.empty() ? "/" : absolute;
}

std::optional<TextLines> LinuxFileSystem::readTextLines(const std::string& path) {
    const auto entry = impl_->resolver.resolve(path);
    if (!entry.exists || S_ISDIR(entry.st.st_mode)) return std::nullopt;
    // Opened without waiting, and read only when it is a regular file: a pipe
    // would block and a device might never end.
    const int fd = ::open(entry.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
        static_cast<std::uint64_t>(opened.st_size) > kMaxTextFile) {
        ::close(fd);
        return std::nullopt;
    }
    // The file as long as it was when opened: one that another program keeps
    // appending to would otherwise be read for ever, into ever more memory.
    const auto length = static_cast<std::size_t>(opened.st_size);
    std::string bytes;
    bytes.reserve(length);
    TextLines text;
    char buffer[65536];
    while (bytes.size() < length) {
        const ssize_t got = impl_->read(fd, buffer, std::min(sizeof buffer, length - bytes.size()));
        if (got > 0) {
            bytes.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            text.complete = false;
            break;
        }
    }
    ::close(fd);
    std::string decoded = DecodeWindows1252(bytes);
    std::string().swap(bytes);  // the raw bytes are not needed beside the lines
    text.lines = SplitTextLines(text.complete ? std::string_view(decoded) : EndedLinesOf(decoded));
    return text;
}

WriteResult LinuxFileSystem::writeTextFile(const std::string& path, const std::vector<std::string>& lines) {
    const auto bytes = EncodeTextLines(lines);
    if (!bytes) return WriteResult::Unencodable;
    const auto entry = impl_->resolver.resolve(path);
    if (RefusesWrites(entry)) return WriteResult::Failed;
    const std::string target = ThroughLink(entry);
    // A save killed mid-write leaves its temporary beside the file; the next save clears it.
    removeLeftoverTemporaries(ParentFolder(target));
    if (!ReplaceFileAtomically(target, *bytes, entry.exists ? &entry.st : nullptr, impl_->beforeRename)) {
        return WriteResult::Failed;
    }
    if (!entry.exists) impl_->resolver.noteAdded(ParentFolder(target), LastComponent(target));
    return WriteResult::Ok;
}

WriteResult LinuxFileSystem::appendTextLine(const std::string& path, const std::string& line) {
    auto bytes = EncodeWindows1252(line);
    if (!bytes) return WriteResult::Unencodable;
    *bytes += "\r\n";
    const auto entry = impl_->resolver.resolve(path);
    if (RefusesWrites(entry)) return WriteResult::Failed;
    // Without waiting for a reader of a pipe; only a regular file takes the line.
    constexpr int kAppend = O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC;
    // Only a file this append made itself is removed when the line cannot be
    // written: not one that another program made meanwhile, nor a link.
    const bool creating = !entry.exists && !entry.isLink;
    int fd = ::open(entry.path.c_str(), kAppend | O_CREAT | (creating ? O_EXCL : 0), 0666);
    const bool created = creating && fd >= 0;
    if (fd < 0 && creating && errno == EEXIST) fd = ::open(entry.path.c_str(), kAppend);
    if (fd < 0) return WriteResult::Failed;
    struct stat before {};
    if (::fstat(fd, &before) != 0 || !S_ISREG(before.st_mode)) {
        ::close(fd);
        return WriteResult::Failed;
    }
    bool ok = true;
    std::string_view rest = *bytes;
    while (ok && !rest.empty()) {
        const ssize_t put = ::write(fd, rest.data(), rest.size());
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) {
            ok = false;
            // Leave no half line behind for the next append to run into; the failure is reported either way.
            [[maybe_unused]] const int undone = ftruncate(fd, before.st_size);
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(put));
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        if (created) ::unlink(entry.path.c_str());
        return WriteResult::Failed;
    }
    if (!entry.exists) impl_->resolver.noteAdded(ParentFolder(entry.path), LastComponent(entry.path));
    return WriteResult::Ok;
}

}  // namespace vrx
