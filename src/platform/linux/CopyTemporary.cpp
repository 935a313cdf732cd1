#include "platform/linux/CopyTemporary.h"

#include <unistd.h>

#include <utility>

#include "platform/linux/DosAttributes.h"

namespace vrx {

CopyTemporary FreshTemporary(int fd, std::string path, const std::string& folder, mode_t mode) {
    CopyTemporary temp;
    temp.fd = fd;
    temp.path = std::move(path);
    temp.folder = folder;
    temp.mode = mode & ~ProcessUmask();  // as the file was created, under the umask
    return temp;
}

void DropTemporary(CopyTemporary& temp) {
    if (temp.fd >= 0) ::close(std::exchange(temp.fd, -1));
    if (temp.path.empty()) return;
    ::unlink(temp.path.c_str());
    temp.path.clear();
}

}  // namespace vrx
