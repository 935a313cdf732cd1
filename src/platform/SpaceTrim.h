#pragma once
// The data files trim only the space character (code 32) around keys, values,
// counts and lists; tabs are part of the text.

#include <string_view>

namespace vrx {

// text without its leading and trailing spaces; tabs are kept.
std::string_view TrimSpaces(std::string_view text);

}  // namespace vrx
