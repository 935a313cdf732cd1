#include "platform/linux/FileCopier.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/linux/CaseResolver.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kCopyRangeChunk = 1 << 30;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
// Non-blocking so that a named pipe given as source is refused instead of hanging the copy.
constexpr int kSourceFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

CopyResult Failure(const std::string& what, const std::string& path, int error = 0) {
    std::string text = what + ": " + path;
    if (error != 0) text += " (" + std::string(std::strerror(error)) + ")";
    return {false, text};
}

bool IsUnsupported(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == ENOTTY || error == EINVAL || error == EXDEV ||
           error == ENOSYS;
}

bool IsHidden(const std::string& path) {
    std::optional<std::uint32_t> stored;
    if (const auto raw = ReadDosAttribRaw(path)) stored = ParseDosAttrib(*raw);
    return stored ? (*stored & AttrHidden) != 0 : NameLooksHidden(LastComponent(path));
}

// Gives the temporary file the source's hidden, system and archive bits as
// they will read under the target's name.
bool CopyDosAttrib(int in, int out, const std::string& from, const std::string& to) {
    std::optional<std::string> text = ReadDosAttribRaw(in);
    if (!text) {
        const bool sourceHidden = NameLooksHidden(LastComponent(from));
        if (sourceHidden == NameLooksHidden(LastComponent(to))) return true;
        text = FormatDosAttrib(sourceHidden ? std::uint32_t{AttrHidden} : 0U);
    }
    if (::fsetxattr(out, kDosAttribName, text->data(), text->size(), 0) == 0) return true;
    // Attributes matter less than the data; only a full disk makes the copy fail here.
    return errno != ENOSPC && errno != EDQUOT && errno != EIO;
}

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() {
        if (fd_ >= 0) ::close(fd_);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

}  // namespace

CopyResult FileCopier::copy(const std::string& from, const std::string& to, const std::function<void()>& beforeRename) {
    std::string source = from;
    int in = ::open(source.c_str(), kSourceFlags);
    if (in < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        source = resolver_.resolve(from).path;
        if (source != from) in = ::open(source.c_str(), kSourceFlags);
    }
    if (in < 0) return Failure("cannot open source", from, errno);
    FdCloser inCloser(in);
    struct stat sourceStat {};
    if (::fstat(in, &sourceStat) != 0) return Failure("cannot examine source", source, errno);
    if (S_ISDIR(sourceStat.st_mode)) return Failure("source is a folder", source);
    if (!S_ISREG(sourceStat.st_mode)) return Failure("source is not a plain file", source);

    const CaseResolver::Entry target = resolver_.resolve(to);
    if (target.exists) {
        if (S_ISDIR(target.st.st_mode)) return Failure("target is a folder", target.path);
        // Checked here because a rename (and root) would replace such a file without complaint.
        if ((target.st.st_mode & kWriteBits) == 0) return Failure("target is read-only", target.path);
        if (IsHidden(target.path)) return Failure("target is hidden", target.path);
    }

    const std::string targetPath = ThroughLink(target);
    const std::string folder = ParentFolder(targetPath);
    TemporaryFile temp = CreateTemporaryIn(folder, sourceStat.st_mode & 0777);
    if (temp.fd < 0) return Failure("cannot create a file in", folder, temp.error);
    FdCloser outCloser(temp.fd);
    auto fail = [&](const std::string& what) {
        const int error = errno;
        ::close(outCloser.release());
        ::unlink(temp.path.c_str());
        return Failure(what, targetPath, error);
    };

    if (!copyData(in, temp.fd, sourceStat, folder)) return fail("cannot copy data to");
    // The umask may have taken every write bit from a writable source; read-only must follow the source.
    const mode_t created = sourceStat.st_mode & 0777 & ~ProcessUmask();
    if (((created & kWriteBits) == 0) != ((sourceStat.st_mode & kWriteBits) == 0) &&
        ::fchmod(temp.fd, sourceStat.st_mode & 0777) != 0) {
        return fail("cannot set the permissions of");
    }
    if (!CopyDosAttrib(in, temp.fd, source, targetPath)) return fail("cannot set the attributes of");
    const timespec times[2] = {{0, UTIME_OMIT}, sourceStat.st_mtim};
    if (::futimens(temp.fd, times) != 0) return fail("cannot set the time of");
    if (::close(outCloser.release()) != 0) {
        const int error = errno;
        ::unlink(temp.path.c_str());
        return Failure("cannot write", targetPath, error);
    }

    if (beforeRename) beforeRename();
    if (::rename(temp.path.c_str(), targetPath.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.path.c_str());
        return Failure("cannot replace", targetPath, error);
    }
    resolver_.noteAdded(folder, LastComponent(targetPath));
    return {true, {}};
}

bool FileCopier::copyData(int in, int out, const struct stat& source, const std::string& targetFolder) {
    if (source.st_size == 0) return copyByReadWrite(in, out);  // may be a file whose size stat does not know

    if (!noClone_.matches(source.st_dev, targetFolder)) {
        if (::ioctl(out, FICLONE, in) == 0) return true;
        if (IsUnsupported(errno)) noClone_ = {source.st_dev, targetFolder, true};
    }

    if (!noCopyRange_.matches(source.st_dev, targetFolder)) {
        off_t copied = 0;
        while (copied < source.st_size) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kCopyRangeChunk, 0);
            if (n > 0) {
                copied += n;
                continue;
            }
            if (n == 0) break;  // the file ended before its stat size, or this file system copies nothing
            if (errno == EINTR) continue;
            if (copied == 0 && IsUnsupported(errno)) {
                noCopyRange_ = {source.st_dev, targetFolder, true};
                break;
            }
            return false;
        }
        if (copied > 0) return true;
    }
    return copyByReadWrite(in, out);
}

bool FileCopier::copyByReadWrite(int in, int out) {
    if (buffer_.empty()) buffer_.resize(kBufferSize);
    for (;;) {
        const ssize_t got = ::read(in, buffer_.data(), buffer_.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer_.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += put;
        }
    }
}

}  // namespace vrx
