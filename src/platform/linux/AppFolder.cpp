#include "platform/linux/AppFolder.h"

#include <unistd.h>

#include <string_view>
#include <vector>

namespace vrx {

std::string ExecutableFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return ".";
        if (static_cast<std::size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(length));
            // A program file replaced while running is reported with this mark.
            constexpr std::string_view kDeleted = " (deleted)";
            if (path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
            const std::size_t slash = path.rfind('/');
            if (slash == std::string::npos) return ".";
            return slash == 0 ? "/" : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);  // cut short: try again with room to spare
    }
}

std::string FolderAbove(const std::string& folder) {
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : folder.substr(0, slash);
}

}  // namespace vrx
