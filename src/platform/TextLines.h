#pragma once
// The line structure of the program's text files: a line ends at CR or at
// CR LF; a lone LF is part of its line; lines are written with CR LF.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

// The lines of text. A last line without an end is still a line; empty text has no lines.
std::vector<std::string> SplitTextLines(std::string_view text);

// The text a read delivered up to its last line end: when a read fails
// part-way, what follows is a line cut off by the failure and never counts.
std::string_view EndedLinesOf(std::string_view text);

// The Windows-1252 bytes of lines, each followed by CR LF; nullopt when a
// line has no Windows-1252 form.
std::optional<std::string> EncodeTextLines(const std::vector<std::string>& lines);

}  // namespace vrx
