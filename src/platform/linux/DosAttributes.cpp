#include "platform/linux/DosAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>

#include "platform/FileSystem.h"
#include "platform/linux/CaseResolver.h"

namespace vrx {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr std::size_t kMaxRawLength = 256;

std::optional<std::string> RawFromBuffer(ssize_t length, const std::array<char, kMaxRawLength>& buffer) {
    if (length < 0) return std::nullopt;  // ENODATA, ENOTSUP, or a value too long to be ours
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

bool IsXattrUnsupported(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

}  // namespace

std::optional<std::uint32_t> ParseDosAttrib(std::string_view text) {
    while (!text.empty() && (text.back() == '\0' || text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string FormatDosAttrib(std::uint32_t bits) {
    std::array<char, 16> text{};
    const int length = std::snprintf(text.data(), text.size(), "0x%x", bits);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

std::optional<std::string> ReadDosAttribRaw(const std::string& path) {
    std::array<char, kMaxRawLength> buffer{};
    return RawFromBuffer(::getxattr(path.c_str(), kDosAttribName, buffer.data(), buffer.size()), buffer);
}

std::optional<std::string> ReadDosAttribRaw(int fd) {
    std::array<char, kMaxRawLength> buffer{};
    return RawFromBuffer(::fgetxattr(fd, kDosAttribName, buffer.data(), buffer.size()), buffer);
}

bool NameLooksHidden(std::string_view name) { return name.size() > 1 && name.front() == '.' && name != ".."; }

std::uint32_t DosAttributesOf(const std::string& path, const struct stat& st) {
    std::uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= AttrDirectory;
    if ((st.st_mode & kWriteBits) == 0) attributes |= AttrReadOnly;
    std::optional<std::uint32_t> stored;
    if (const auto raw = ReadDosAttribRaw(path)) stored = ParseDosAttrib(*raw);
    if (stored) attributes |= *stored & kXattrBits;
    // Wine shows a dot file as hidden whatever the stored attribute says.
    if (NameLooksHidden(LastComponent(path))) attributes |= AttrHidden;
    return attributes;
}

bool SetDosAttributes(const std::string& path, const struct stat& st, std::uint32_t attributes) {
    // Every change is made to the name itself, never through a link: one put
    // at the name since st was taken makes the change fail instead of
    // reaching the file it points to.
    mode_t mode = st.st_mode & 07777;
    // Folders keep their permissions: Windows does not stop writing into a read-only folder.
    if (!S_ISDIR(st.st_mode)) {
        if (attributes & AttrReadOnly) {
            mode &= ~kWriteBits;
        } else if ((mode & kWriteBits) == 0) {
            // Write back where reading is allowed, within the umask, as Wine does; the
            // owner always gets it so that the file really stops being read-only.
            mode |= ((mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 1) & ~ProcessUmask();
            mode |= S_IWUSR;
        }
        if (mode != (st.st_mode & 07777) && ::fchmodat(AT_FDCWD, path.c_str(), mode, AT_SYMLINK_NOFOLLOW) != 0) {
            return false;
        }
    }

    // A dot file stays hidden whatever is stored, so clearing cannot show it.
    const std::uint32_t bits = attributes & kXattrBits;
    if (bits != 0) {
        const std::string text = FormatDosAttrib(bits);
        if (::lsetxattr(path.c_str(), kDosAttribName, text.data(), text.size(), 0) != 0) {
            return IsXattrUnsupported(errno);  // such file systems keep read-only and the dot rule only
        }
    } else if (::lremovexattr(path.c_str(), kDosAttribName) != 0) {
        return errno == ENODATA || IsXattrUnsupported(errno);
    }
    return true;
}

mode_t ProcessUmask() {
    static const mode_t mask = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (!line.starts_with("Umask:")) continue;
            unsigned value = 0;
            std::string_view digits = std::string_view(line).substr(6);
            while (!digits.empty() && (digits.front() == '\t' || digits.front() == ' ')) digits.remove_prefix(1);
            if (std::from_chars(digits.data(), digits.data() + digits.size(), value, 8).ec == std::errc()) {
                return static_cast<mode_t>(value & 0777);
            }
        }
        const mode_t old = ::umask(022);  // no /proc: read it the old way
        ::umask(old);
        return old;
    }();
    return mask;
}

}  // namespace vrx
