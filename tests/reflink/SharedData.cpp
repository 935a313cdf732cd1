#include "SharedData.h"

#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/linux/FdCloser.h"
#include "support/TempDir.h"

namespace vrx::test {

namespace {

std::string Reason(const std::string& what, int error) {
    return what + " (" + std::strerror(error) + ")";
}

}  // namespace

std::vector<Extent> ExtentsOf(const std::string& path) {
    const FdCloser fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw std::runtime_error(Reason("cannot open " + path, errno));
    constexpr std::size_t kBatch = 64;
    std::vector<Extent> extents;
    std::uint64_t start = 0;
    for (;;) {
        std::vector<char> buffer(sizeof(fiemap) + kBatch * sizeof(fiemap_extent));
        auto* map = reinterpret_cast<fiemap*>(buffer.data());
        map->fm_start = start;
        map->fm_length = FIEMAP_MAX_OFFSET - start;
        map->fm_flags = FIEMAP_FLAG_SYNC;
        map->fm_extent_count = kBatch;
        if (::ioctl(fd.get(), FS_IOC_FIEMAP, map) != 0)
            throw std::runtime_error(Reason("FIEMAP failed on " + path, errno));
        if (map->fm_mapped_extents == 0) return extents;
        for (std::uint32_t i = 0; i < map->fm_mapped_extents; ++i) {
            const fiemap_extent& e = map->fm_extents[i];
            extents.push_back({e.fe_logical, e.fe_physical, e.fe_length, (e.fe_flags & FIEMAP_EXTENT_SHARED) != 0});
            if (e.fe_flags & FIEMAP_EXTENT_LAST) return extents;
            start = e.fe_logical + e.fe_length;
        }
    }
}

std::string WhyNotSharingData(const std::string& folder) {
    struct statfs fsInfo {};
    if (::statfs(folder.c_str(), &fsInfo) != 0) return Reason("statfs failed on " + folder, errno);
    if (fsInfo.f_type != XFS_SUPER_MAGIC) {
        return folder + " does not lie on XFS (TMPDIR is " + (getenv("TMPDIR") ? getenv("TMPDIR") : "not set") +
               "): run this program through tests/reflink/run-on-xfs";
    }
    const std::string a = folder + "/probe-a";
    const std::string b = folder + "/probe-b";
    WriteFile(a, std::string(8192, 'p'));
    WriteFile(b, "");
    std::string why;
    {
        const FdCloser in(::open(a.c_str(), O_RDONLY | O_CLOEXEC));
        const FdCloser out(::open(b.c_str(), O_WRONLY | O_CLOEXEC));
        if (in.get() < 0 || out.get() < 0) {
            why = Reason("cannot open the probe files in " + folder, errno);
        } else if (::ioctl(out.get(), FICLONE, in.get()) != 0) {
            why = Reason("XFS at " + folder + " refuses to share data (FICLONE); made without -m reflink=1?", errno);
        }
    }
    ::unlink(a.c_str());
    ::unlink(b.c_str());
    return why;
}

std::int64_t FreeBytesAfterSync(const std::string& folder) {
    const FdCloser fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || ::syncfs(fd.get()) != 0) throw std::runtime_error(Reason("cannot sync " + folder, errno));
    struct statvfs info {};
    if (::fstatvfs(fd.get(), &info) != 0) throw std::runtime_error(Reason("statvfs failed on " + folder, errno));
    return static_cast<std::int64_t>(info.f_bfree) * static_cast<std::int64_t>(info.f_frsize);
}

}  // namespace vrx::test
