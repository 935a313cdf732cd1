#include "platform/linux/RegularFileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vrx {

std::optional<std::string> ReadRegularFileText(const std::string& path, std::size_t limit) {
    // Opened without waiting, so that a pipe put at the name cannot block us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) <= limit) {
        std::string content;
        content.reserve(static_cast<std::size_t>(st.st_size));
        char buffer[65536];
        bool failed = false;
        while (true) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0) {
                if (errno == EINTR) continue;
                failed = true;
                break;
            }
            if (got == 0) break;
            // A file growing while it is read is held to the same limit.
            if (content.size() + static_cast<std::size_t>(got) > limit) {
                failed = true;
                break;
            }
            content.append(buffer, static_cast<std::size_t>(got));
        }
        if (!failed) text = std::move(content);
    }
    ::close(fd);
    return text;
}

}  // namespace vrx
