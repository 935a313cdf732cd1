#pragma once
// Numbers as the original runtime read and wrote them in settings text: the
// lenient leading-number rule of Val and the 15-significant-digit text of a
// double. Both are independent of the user's locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrx {

// The number spelt by the leading characters of text, spaces, tabs and line
// feeds ignored anywhere: sign, digits, one ".", exponent e/E/d/D, or &H / &O
// radix digits (4-digit values signed 16-bit, 8-digit values signed 32-bit).
// 0 when no number leads the text or when the number overflows.
double ValNumber(std::string_view text);

// value with at most 15 significant digits, "." as decimal separator, no
// trailing zeros, no leading space; exponent form 1E+20 / 1E-05 where needed.
std::string NumberText(double value);

// value rounded half to even to a 16-bit integer; nullopt outside -32768..32767.
std::optional<std::int16_t> RoundToInt16(double value);

}  // namespace vrx
