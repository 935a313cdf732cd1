#include "platform/linux/AtomicWrite.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/CaseResolver.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

// Makes the new file look like the one it replaces.
bool KeepIdentity(int fd, const std::string& path, const struct stat& old) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        // Only root may give a file away; for anyone else the new file is simply theirs.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) return false;
    }
    if (const auto text = ReadDosAttribRaw(path)) {
        if (::fsetxattr(fd, kDosAttribName, text->data(), text->size(), 0) != 0 && errno != ENOTSUP &&
            errno != EOPNOTSUPP) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const struct stat* old,
                           const std::function<void()>& beforeRename) {
    TemporaryFile temp = CreateTemporaryIn(ParentFolder(path), 0666);
    if (temp.fd < 0) return false;
    bool ok = WriteAll(temp.fd, bytes) && (!old || KeepIdentity(temp.fd, path, *old)) && ::fsync(temp.fd) == 0;
    ok = (::close(temp.fd) == 0) && ok;
    if (ok) {
        if (beforeRename) beforeRename();
        ok = ::rename(temp.path.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        const int error = errno;
        ::unlink(temp.path.c_str());
        errno = error;
    }
    return ok;
}

}  // namespace vrx
