#pragma once
// DOS attributes kept the way Wine keeps them, so that both see the same
// files alike: read-only is the absence of every write permission bit;
// hidden, system and archive live in the extended attribute user.DOSATTRIB as
// hex text ("0x22"); a name beginning with "." is always hidden, whatever that attribute says.

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrx {

inline constexpr const char* kDosAttribName = "user.DOSATTRIB";
// The bits that live in user.DOSATTRIB.
inline constexpr std::uint32_t kXattrBits = 2 | 4 | 32;

// The value of user.DOSATTRIB text: hex with "0x", or decimal; nullopt when unreadable.
std::optional<std::uint32_t> ParseDosAttrib(std::string_view text);
// The text Wine writes for bits: lower-case hex with "0x", no NUL.
std::string FormatDosAttrib(std::uint32_t bits);

// Raw user.DOSATTRIB of path (links followed); nullopt when absent or unsupported.
std::optional<std::string> ReadDosAttribRaw(const std::string& path);
std::optional<std::string> ReadDosAttribRaw(int fd);

// True for names Wine always shows as hidden (a leading "."), whatever user.DOSATTRIB holds.
bool NameLooksHidden(std::string_view name);

// The attribute bits of the entry at path with stat st, reading its user.DOSATTRIB.
std::uint32_t DosAttributesOf(const std::string& path, const struct stat& st);

// Sets read-only, hidden, system and archive of path (stat st) as given; other
// bits are ignored. Never changes what a link points to: false when path is a link.
bool SetDosAttributes(const std::string& path, const struct stat& st, std::uint32_t attributes);

// The process umask, read without changing it.
mode_t ProcessUmask();

}  // namespace vrx
