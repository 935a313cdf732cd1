#pragma once
// One line of a YAML '...' or "..." scalar: its characters as they stand for
// themselves ('' is one quote; the escapes of "...", \x41, \u00e9 and
// \U0001F600 given as UTF-8), up to the closing quote or the line's end. The
// folding of line breaks between lines is the caller's.

#include <cstddef>
#include <string>
#include <string_view>

namespace vrx {

// How a line of a quoted scalar ended: at its closing quote, at the line's
// end with the scalar still open, at a "\" that escapes the line break, or
// at an escape YAML does not have (a surrogate or out-of-range code among them).
enum class QuotedLineEnd { Closed, Open, EscapedBreak, Invalid };

// Scans line (the part after the opening quote, or a continuation line)
// into out. Closed: end is the position after the closing quote. keep is
// out's length up to which trailing blanks came from escapes and stay.
QuotedLineEnd ScanQuotedLine(std::string_view line, char quote, std::string& out, std::size_t& keep, std::size_t& end);

}  // namespace vrx
