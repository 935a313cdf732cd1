#pragma once
// Direct looks at what the platform layer left on disk, bypassing it:
// raw extended attributes, permission bits, leftover temporary files.

#include <sys/resource.h>
#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

namespace vrx::test {

// The raw bytes of user.DOSATTRIB, or nullopt when the file has none.
std::optional<std::string> RawDosAttrib(const std::string& path);
// Writes user.DOSATTRIB with exactly these bytes.
void SetRawDosAttrib(const std::string& path, const std::string& bytes);
// Permission bits of path (links followed).
mode_t ModeOf(const std::string& path);
void SetMode(const std::string& path, mode_t mode);
// Names in folder that are copy temporaries (".vrx-copy-*"), sorted.
std::vector<std::string> TemporariesIn(const std::string& folder);
// Sets the modification time of path to seconds + nanoseconds.
void SetModified(const std::string& path, long long seconds, long nanoseconds);
timespec ModifiedOf(const std::string& path);
// In a child process: writes past bytes then fail with an error (SIGXFSZ
// ignored), even for root, as on a full disk.
void LimitFileSize(rlim_t bytes);

}  // namespace vrx::test
