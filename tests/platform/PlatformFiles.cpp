#include "PlatformFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <stdexcept>

#include "support/TempDir.h"

namespace vrx::test {

std::optional<std::string> RawDosAttrib(const std::string& path) {
    std::array<char, 256> buffer{};
    const ssize_t length = getxattr(path.c_str(), "user.DOSATTRIB", buffer.data(), buffer.size());
    if (length < 0) {
        if (errno == ENODATA) return std::nullopt;
        throw std::runtime_error("getxattr failed on " + path);
    }
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

void SetRawDosAttrib(const std::string& path, const std::string& bytes) {
    if (setxattr(path.c_str(), "user.DOSATTRIB", bytes.data(), bytes.size(), 0) != 0) {
        throw std::runtime_error("setxattr failed on " + path);
    }
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) throw std::runtime_error("stat failed on " + path);
    return st.st_mode & 07777;
}

void SetMode(const std::string& path, mode_t mode) {
    if (chmod(path.c_str(), mode) != 0) throw std::runtime_error("chmod failed on " + path);
}

std::vector<std::string> TemporariesIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& name : ListNames(folder)) {
        if (name.starts_with(".vrx-copy-")) found.push_back(name);
    }
    return found;
}

void SetModified(const std::string& path, long long seconds, long nanoseconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("utimensat failed on " + path);
}

timespec ModifiedOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) throw std::runtime_error("stat failed on " + path);
    return st.st_mtim;
}

void LimitFileSize(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(9);
}

}  // namespace vrx::test
