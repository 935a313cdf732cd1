// The exchange and its checks: what a Windows copy refuses to replace, and how
// a complete temporary takes the target's place (an exchange that keeps the
// replaced file for reuse, a rename, or a name given to an unnamed file).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/FileCopier.h"
#include "platform/linux/FolderHandle.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// Whether a target whose user.DOSATTRIB reads raw is hidden; a dot file always is, as Wine shows it.
bool IsHidden(const std::optional<std::string>& raw, const std::string& path) {
    if (NameLooksHidden(SplitPath(path).name)) return true;
    const std::optional<std::uint32_t> stored = raw ? ParseDosAttrib(*raw) : std::nullopt;
    return stored && (*stored & AttrHidden) != 0;
}

}  // namespace

CaseResolver::Entry FileCopier::examineTarget(const std::string& to) {
    const PathParts parts = SplitPath(to);
    if (parts.folder.empty() || !targetFolder_.hold(parts.folder, resolver_)) return resolver_.resolve(to);
    // By its name in its folder, held open for the copies into it; its name,
    // the path's tail, ends where the path does.
    const int folder = targetFolder_.fd();
    CaseResolver::Entry entry;
    entry.path = ChildPath(targetFolder_.path(), std::string(parts.name));
    auto examine = [&](const char* name) {
        if (::fstatat(folder, name, &entry.st, AT_SYMLINK_NOFOLLOW) != 0) return false;
        entry.isLink = S_ISLNK(entry.st.st_mode);
        entry.exists = !entry.isLink || ::fstatat(folder, name, &entry.st, 0) == 0;
        return true;
    };
    if (examine(parts.name.data()) || errno != ENOENT) return entry;
    // Not under this spelling: only another spelling of the name is looked for.
    const std::string respelled = resolver_.respell(to);
    const PathParts found = SplitPath(respelled);
    if (found.folder != targetFolder_.path()) return resolver_.resolve(to);
    if (found.name == parts.name) return entry;  // no other spelling: a new target
    entry.path = respelled;
    if (examine(found.name.data())) return entry;
    return resolver_.resolve(to);  // gone since the folder was listed: look once more, from the start
}

std::optional<CopyResult> FileCopier::Refusal(const CaseResolver::Entry& target) {
    // A link at the target's name is replaced itself, never written through,
    // so only what the link names can be a folder; its attributes do not matter.
    if (!target.exists) return std::nullopt;
    if (S_ISDIR(target.st.st_mode)) return Failure("target is a folder", target.path);
    std::optional<std::string> targetDosAttrib;
    if (!target.isLink) {
        // Checked here because a rename (and root) would replace such a file without complaint.
        if ((target.st.st_mode & kWriteBits) == 0) return Failure("target is read-only", target.path);
        targetDosAttrib = ReadDosAttribRaw(target.path);
    }
    if (IsHidden(targetDosAttrib, target.path)) return Failure("target is hidden", target.path);
    return std::nullopt;
}

CopyResult FileCopier::place(CopyTemporary& temp, const CaseResolver::Entry& target,
                             const std::function<void()>& beforeReplace) {
    const std::string& targetPath = target.path;
    const PathParts parts = SplitPath(targetPath);
    const bool madeAhead = temp.path.empty() && (target.exists || target.isLink);
    const struct stat* reusable =
        !madeAhead && target.exists && !target.isLink && MayReuse(target.st) ? &target.st : nullptr;
    auto fail = [&](const char* what) {
        const int error = errno;
        DropTemporary(temp);
        return Failure(what, targetPath, error);
    };
    // A rename over a file makes ext4 write the new data before the rename
    // commits; an exchange does not, so the write-back is started here, for a
    // power loss to leave the old content or the new, as after a rename.
    if (reusable && ::sync_file_range(temp.fd, 0, 0, SYNC_FILE_RANGE_WRITE) != 0) {
        return fail("cannot write");
    }
    if (temp.path.empty()) {
        if (!target.exists && !target.isLink) {
            // A file without a name yet: it appears under the target's name, whole, or not at all.
            if (beforeReplace) beforeReplace();
            if (!LinkUnnamed(temp.fd, targetPath)) return fail("cannot replace");
            if (::close(std::exchange(temp.fd, -1)) != 0) {
                // The target did not exist before, so taking the name back restores what was there.
                const int error = errno;
                ::unlink(targetPath.c_str());
                return Failure("cannot write", targetPath, error);
            }
            resolver_.noteAdded(parts.folder, parts.name);
            return {true, {}};
        }
        // Made ahead, where every copy is an unnamed file: it needs a name to
        // take the target's place, and the one temporary name a run may leave
        // is this one, so a kept file goes first. The old target is renamed
        // over rather than kept, which also has ext4 write the new data first.
        dropKept();
        temp.path = LinkTemporaryIn(temp.fd, ParentFolder(targetPath));
        if (temp.path.empty()) return fail("cannot create a file in");
    }
    if (::close(std::exchange(temp.fd, -1)) != 0) return fail("cannot write");

    if (beforeReplace) beforeReplace();
    if (!replace(temp, targetPath, reusable)) return fail("cannot replace");
    resolver_.noteAdded(parts.folder, parts.name);
    return {true, {}};
}

bool FileCopier::replace(CopyTemporary& temp, const std::string& targetPath, const struct stat* reusable) {
    // Both named in the folder held open when both lie there, else by whole paths.
    const PathParts tempParts = SplitPath(temp.path);
    const PathParts targetParts = SplitPath(targetPath);
    const bool inHeld = targetFolder_.fd() >= 0 && tempParts.folder == targetFolder_.path() &&
                        targetParts.folder == targetFolder_.path();
    const int folder = inHeld ? targetFolder_.fd() : AT_FDCWD;
    const char* tempName = inHeld ? tempParts.name.data() : temp.path.c_str();
    const char* targetName = inHeld ? targetParts.name.data() : targetPath.c_str();
    auto exchange = [&] {
        if (exchange_) return exchange_(temp.path, targetPath);
        return ::renameat2(folder, tempName, folder, targetName, RENAME_EXCHANGE);
    };

    if (reusable && noExchange_ != reusable->st_dev) {
        if (exchange() == 0) {
            // Unlike a rename, an exchange also takes a folder put at the
            // target's name since it was examined, and would hide it under the
            // temporary name: it is put back, and the copy fails as over any folder.
            struct stat swapped {};
            if (::fstatat(folder, tempName, &swapped, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(swapped.st_mode)) {
                if (exchange() == 0) errno = EISDIR;
                return false;
            }
            kept_ = {std::move(temp.path), std::move(temp.folder), reusable->st_dev, reusable->st_ino, true};
            temp.path.clear();
            return true;
        }
        // File systems that cannot exchange say so with EINVAL (old kernels with ENOSYS): rename there.
        if (errno != EINVAL && errno != ENOSYS) return false;
        noExchange_ = reusable->st_dev;
    }
    return ::renameat(folder, tempName, folder, targetName) == 0;
}

}  // namespace vrx
