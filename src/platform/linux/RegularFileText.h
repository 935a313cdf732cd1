#pragma once
// Reading a small data file that another program keeps (Wine's registry,
// Steam's library list) without trusting what stands at its name.

#include <cstddef>
#include <optional>
#include <string>

namespace vrx {

// The bytes of the regular file at path when it holds at most limit bytes;
// nullopt when it is missing, unreadable, not a regular file (a pipe, which
// would block, or a device, which might never end) or larger than limit, also
// when it grows past limit while it is read.
std::optional<std::string> ReadRegularFileText(const std::string& path, std::size_t limit);

}  // namespace vrx
