#include "platform/linux/DataCopier.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace vrx {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kCopyRangeChunk = 1 << 30;

}  // namespace

bool IsUnsupported(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == ENOTTY || error == EINVAL || error == EXDEV ||
           error == ENOSYS;
}

bool DataCopier::copy(int in, int out, const struct stat& source, const std::string& targetFolder) {
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

bool DataCopier::copyByReadWrite(int in, int out) {
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
