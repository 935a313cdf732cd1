#include "platform/linux/PrefixPaths.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>

namespace vrx {

std::string RealPathOf(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace vrx
