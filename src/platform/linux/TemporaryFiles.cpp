#include "platform/linux/TemporaryFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "platform/linux/CaseResolver.h"

namespace vrx {

namespace {

constexpr std::string_view kPrefix = ".vrx-copy-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kAttempts = 100;

std::uint64_t NextRandom() {
    // Names only need to be unlikely to collide; O_EXCL settles real collisions.
    static std::uint64_t state = [] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 20) ^
               (static_cast<std::uint64_t>(getpid()) << 40) ^ 0x9E3779B97F4A7C15ULL;
    }();
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

std::string RandomName() {
    std::string name(kPrefix);
    std::uint64_t bits = NextRandom();
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        name += kAlphabet[bits % kAlphabet.size()];
        bits /= kAlphabet.size();
    }
    name += kSuffix;
    return name;
}

}  // namespace

TemporaryFile CreateTemporaryIn(const std::string& folder, mode_t mode) {
    TemporaryFile temp;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temp.path = ChildPath(folder, RandomName());
        temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (temp.fd >= 0) return temp;
        if (errno != EEXIST) break;
    }
    temp.error = errno;
    temp.path.clear();
    return temp;
}

bool ProcessFdsAreLinkable() {
    static const bool linkable = ::access("/proc/self/fd", F_OK) == 0;
    return linkable;
}

bool LinkUnnamed(int fd, const std::string& path) {
    std::array<char, 32> self{};
    std::snprintf(self.data(), self.size(), "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, self.data(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

std::string LinkTemporaryIn(int fd, const std::string& folder) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path = ChildPath(folder, RandomName());
        if (LinkUnnamed(fd, path)) return path;
        if (errno != EEXIST) break;
    }
    return {};
}

bool IsOurTemporaryName(std::string_view name) {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size()) return false;
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
    for (const char c : name.substr(kPrefix.size(), kRandomLength)) {
        if (kAlphabet.find(c) == std::string_view::npos) return false;
    }
    return true;
}

}  // namespace vrx
