#include "platform/linux/ReplacedFileReuse.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>
#include <utility>

#include "platform/linux/DataCopier.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/FileCopier.h"
#include "platform/linux/FolderHandle.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

// The extended attributes an open file carries, as far as reusing it goes.
struct AttributeNames {
    // Beyond user.DOSATTRIB (which every copy sets or removes) and security
    // labels (which any new file in the folder gets alike): access lists and
    // other programs' attributes belong to the file they were set on, not to the next copy.
    bool foreign = false;
    bool dosAttrib = false;
};

AttributeNames AttributeNamesOf(int fd) {
    AttributeNames found;
    std::array<char, 1024> names{};
    const ssize_t length = ::flistxattr(fd, names.data(), names.size());
    if (length < 0) {
        found.foreign = errno != ENOTSUP && errno != EOPNOTSUPP;  // too many to list counts as foreign
        return found;
    }
    for (std::string_view rest(names.data(), static_cast<std::size_t>(length)); !rest.empty();) {
        const std::string_view name = rest.substr(0, rest.find('\0'));
        if (name == kDosAttribName) {
            found.dosAttrib = true;
        } else if (!name.starts_with("security.")) {
            found.foreign = true;
        }
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
    }
    return found;
}

}  // namespace

bool MayReuse(const struct stat& st) {
    static const uid_t user = ::geteuid();
    static const gid_t group = ::getegid();
    return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == user && st.st_gid == group;
}

bool ReopenKept(KeptFile& kept, int folderFd, CopyTemporary& temp) {
    // Opened without following a link and without waiting (a pipe put there
    // meanwhile), then checked through the descriptor itself: the file may have
    // been changed, linked or swapped since the exchange, and this is the last
    // look before it is written.
    constexpr int kFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = folderFd >= 0 ? ::openat(folderFd, SplitPath(kept.path).name.data(), kFlags)
                                 : ::open(kept.path.c_str(), kFlags);
    if (fd < 0) return false;
    struct stat st {};
    const bool same = ::fstat(fd, &st) == 0 && st.st_dev == kept.device && st.st_ino == kept.inode;
    const AttributeNames names = same && MayReuse(st) ? AttributeNamesOf(fd) : AttributeNames{true, false};
    if (names.foreign || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    temp.fd = fd;
    temp.path = std::move(kept.path);
    temp.folder = std::move(kept.folder);
    temp.mode = st.st_mode & 07777;
    temp.carriesDosAttrib = names.dosAttrib;
    return true;
}

CopyTemporary FileCopier::takeTemporary(const std::string& folder, mode_t mode, bool forNewTarget) {
    if (kept_.present && kept_.folder == folder) {
        KeptFile kept = std::exchange(kept_, {});
        CopyTemporary temp;
        const int folderFd = kept.folder == targetFolder_.path() ? targetFolder_.fd() : -1;
        if (ReopenKept(kept, folderFd, temp)) return temp;
        // Not ours to write: only our name for it goes.
        ::unlink(kept.path.c_str());
    }
    dropKept();  // a temporary kept in another folder is not needed any more
    if (forNewTarget && noUnnamed_ != folder && ProcessFdsAreLinkable()) {
        // A new target needs no exchange: an unnamed file costs one name
        // creation instead of two, and a kill leaves nothing behind at all.
        const int fd = openUnnamed_(folder, mode);
        if (fd >= 0) return FreshTemporary(fd, {}, folder, mode);
        if (IsUnsupported(errno) || errno == EISDIR) noUnnamed_ = folder;
    }
    TemporaryFile created = CreateTemporaryIn(folder, mode);
    CopyTemporary temp = FreshTemporary(created.fd, std::move(created.path), folder, mode);
    errno = created.error;
    return temp;
}

void FileCopier::dropKept() {
    if (!kept_.present) return;
    ::unlink(kept_.path.c_str());
    kept_ = {};
}

void FileCopier::release() {
    dropKept();
    sourceFolder_.close();
    targetFolder_.close();
}

}  // namespace vrx
