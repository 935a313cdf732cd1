#include "platform/linux/CopyAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstdint>

#include "platform/FileSystem.h"
#include "platform/linux/CaseResolver.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/FolderHandle.h"

namespace vrx {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

}  // namespace

mode_t CopyMode(mode_t source) {
    const mode_t created = source & 0777 & ~ProcessUmask();
    return ((created & kWriteBits) == 0) == ((source & kWriteBits) == 0) ? created : source & 0777;
}

std::optional<std::string> SourceDosAttrib(int in, const struct stat& st, const ListedFile* listed) {
    if (listed && listed->device == st.st_dev && listed->inode == st.st_ino) return listed->dosAttrib;
    return ReadDosAttribRaw(in);
}

std::optional<std::string> WantedDosAttrib(const std::optional<std::string>& sourceRaw, const std::string& from,
                                           const std::string& to) {
    if (sourceRaw) return sourceRaw;
    const bool sourceHidden = NameLooksHidden(SplitPath(from).name);
    if (sourceHidden == NameLooksHidden(SplitPath(to).name)) return std::nullopt;
    return FormatDosAttrib(sourceHidden ? std::uint32_t{AttrHidden} : 0U);
}

bool SetDosAttrib(int fd, const std::optional<std::string>& wanted, bool carriesOne) {
    if (!wanted) {
        if (!carriesOne) return true;
        // A reused file must not keep the attributes of the file it was.
        return ::fremovexattr(fd, kDosAttribName) == 0 || errno == ENODATA || errno == ENOTSUP || errno == EOPNOTSUPP;
    }
    if (::fsetxattr(fd, kDosAttribName, wanted->data(), wanted->size(), 0) == 0) return true;
    // Attributes matter less than the data; only a full disk makes the copy of a fresh file fail here.
    return !carriesOne && errno != ENOSPC && errno != EDQUOT && errno != EIO;
}

}  // namespace vrx
