#pragma once
// Letter case as the Windows program ignores it in file names.

#include <string>
#include <string_view>

namespace vrx {

// name with ASCII and Latin letters (those Windows-1252 holds in both cases)
// turned to lower case; other bytes are kept, so names that are not UTF-8 still work.
std::string FoldCase(std::string_view name);

}  // namespace vrx
