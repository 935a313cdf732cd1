#pragma once
// Windows-1252 on disk, UTF-8 in memory. All 256 byte values round-trip: the
// five bytes Windows-1252 leaves undefined map to the C1 controls of the same value.

#include <optional>
#include <string>
#include <string_view>

namespace vrx {

// Decodes Windows-1252 bytes to UTF-8; never fails.
std::string DecodeWindows1252(std::string_view bytes);

// Encodes UTF-8 text to Windows-1252; nullopt when a character has no
// Windows-1252 form or the text is not valid UTF-8.
std::optional<std::string> EncodeWindows1252(std::string_view utf8);

// text with every byte that does not begin a well-formed UTF-8 character
// replaced by U+FFFD, so that it can always be encoded again.
std::string ValidUtf8(std::string_view text);

// Appends the UTF-8 form of code point c (up to U+10FFFF) to out.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace vrx
