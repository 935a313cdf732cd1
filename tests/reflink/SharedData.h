#pragma once
// Looks at how files share data on a file system that can share it (XFS with
// reflink): where a file's data lies on the device, and how much space is free.

#include <cstdint>
#include <string>
#include <vector>

namespace vrx::test {

// One extent of a file's data, as FIEMAP reports it.
struct Extent {
    std::uint64_t logical = 0;   // offset in the file
    std::uint64_t physical = 0;  // offset on the device
    std::uint64_t length = 0;
    bool shared = false;  // FIEMAP_EXTENT_SHARED: other files hold the same data
    bool operator==(const Extent&) const = default;
};

// The extents of the file at path, its data written out first; throws when
// FIEMAP fails.
std::vector<Extent> ExtentsOf(const std::string& path);

// "" when folder lies on XFS and two files there can share data (FICLONE);
// else why not.
std::string WhyNotSharingData(const std::string& folder);

// Free bytes of the file system holding folder, once everything written to
// it is on the disk (syncfs); throws when it cannot be learned.
std::int64_t FreeBytesAfterSync(const std::string& folder);

}  // namespace vrx::test
