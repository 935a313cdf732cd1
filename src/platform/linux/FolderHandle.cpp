#include "platform/linux/FolderHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace vrx {

bool FolderHandle::hold(std::string_view given, CaseResolver& resolver) {
    if (fd_ >= 0 && given == given_) return true;
    close();
    const CaseResolver::Entry folder = resolver.resolve(std::string(given));
    if (!folder.exists || !S_ISDIR(folder.st.st_mode)) return false;
    fd_ = ::open(folder.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return false;
    given_ = given;
    path_ = folder.path;
    return true;
}

void FolderHandle::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    given_.clear();
    path_.clear();
}

PathParts SplitPath(std::string_view path) {
    // memrchr rather than rfind: this runs several times for every copy.
    const void* found = path.empty() ? nullptr : ::memrchr(path.data(), '/', path.size());
    if (!found) return {{}, path};
    const auto slash = static_cast<std::size_t>(static_cast<const char*>(found) - path.data());
    if (slash == 0 || slash + 1 == path.size()) return {{}, path};
    const std::string_view name = path.substr(slash + 1);
    if (name == "." || name == ".." || path[slash - 1] == '/') return {{}, path};
    return {path.substr(0, slash), name};
}

}  // namespace vrx
