#pragma once
// Joining paths as the program does: a text beginning with a separator is
// appended to a folder, and most joins then collapse adjacent separators.
// On Windows the separator was "\"; here it is "/".

#include <string>
#include <string_view>

namespace vrx {

// folder + "/" + tail, nothing collapsed.
std::string JoinPath(std::string_view folder, std::string_view tail);

// Replaces every pair of adjacent "/" by one, in one left-to-right pass
// ("///" becomes "//", as the original single pass did).
std::string CollapseSeparators(std::string_view path);

// folder + "/" + tail, then CollapseSeparators.
std::string JoinCollapsed(std::string_view folder, std::string_view tail);

// A relative path read from a data file, with "\" turned into "/".
std::string DataPath(std::string_view text);

// True when a relative path has a ".." component, which would reach outside
// the folder it is joined to. Accepts "/" and "\" as separators.
bool HasParentComponent(std::string_view relativePath);

}  // namespace vrx
