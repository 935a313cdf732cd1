#pragma once
// Quoted names and strings as Wine writes them in its registry files:
// backslash escapes, and UTF-16 code units above 127 written as \x followed by hex digits.

#include <optional>
#include <string>
#include <string_view>

namespace vrx {

// Decodes the escaped text that starts at text[pos] and ends at the first
// unescaped `end` character; pos is left just past that character. nullopt
// when `end` never comes. The result is UTF-8.
std::optional<std::string> UnescapeRegText(std::string_view text, std::size_t& pos, char end);

// The escaped form of utf8 for a quoted string (extraSpecial are escaped too,
// "[]" for key names); nullopt when utf8 is not valid UTF-8.
std::optional<std::string> EscapeRegText(std::string_view utf8, std::string_view extraSpecial = {});

}  // namespace vrx
