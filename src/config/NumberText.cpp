#include "config/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vrx {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int RadixDigit(char c, int radix) {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < radix ? d : -1;
}

// &H and &O values keep the width of the smallest integer type that holds
// their bits, as the original runtime typed them: &HFFFF is -1, &H10000 is 65536.
double RadixValue(std::string_view digits, int radix) {
    std::uint64_t value = 0;
    bool any = false;
    for (char c : digits) {
        const int d = RadixDigit(c, radix);
        if (d < 0) break;
        any = true;
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFu) return 0;  // the runtime failed here; an unreadable number counts as none
    }
    if (!any) return 0;
    if (value <= 0xFFFFu) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

double DecimalValue(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::string canonical;
    const std::size_t start = i;
    while (i < s.size() && IsDigit(s[i])) canonical += s[i++];
    bool anyDigit = i > start;
    if (i < s.size() && s[i] == '.') {
        ++i;
        std::string fraction;
        while (i < s.size() && IsDigit(s[i])) fraction += s[i++];
        if (!fraction.empty()) {
            anyDigit = true;
            canonical = (canonical.empty() ? "0" : canonical) + "." + fraction;
        }
    }
    if (!anyDigit) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        const std::size_t expStart = j;
        while (j < s.size() && IsDigit(s[j])) exponent += s[j++];
        if (j > expStart) canonical += exponent;
    }
    double value = 0;
    const auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0;  // overflow: see RadixValue
    return negative ? -value : value;
}

}  // namespace

double ValNumber(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    }
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'h' || s[1] == 'H') return RadixValue(std::string_view(s).substr(2), 16);
        if (s[1] == 'o' || s[1] == 'O') return RadixValue(std::string_view(s).substr(2), 8);
        return 0;
    }
    return DecimalValue(s);
}

std::string NumberText(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";  // also turns -0 into 0
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') c = 'E';
    }
    return text;
}

std::optional<std::int16_t> RoundToInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);  // the default rounding mode is half to even
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace vrx
