#pragma once
// Steam's list of its game libraries, steamapps/libraryfolders.vdf: a small
// nested key/value text of quoted strings and braces. Both layouts Steam has
// written are read: a library as an entry with a "path" key, or (older) a
// numbered key whose value is the path itself.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

// Texts larger than this are refused rather than read.
inline constexpr std::size_t kMaxLibraryFoldersText = 1 << 20;

// The library paths listed in a libraryfolders.vdf text, in file order;
// std::nullopt for malformed input (anything but one quoted root key
// "libraryfolders" with a braced body of quoted keys, quoted values and
// nested bodies, nested at most 16 deep), or a text over kMaxLibraryFoldersText.
std::optional<std::vector<std::string>> ParseLibraryFolders(std::string_view text);

}  // namespace vrx
