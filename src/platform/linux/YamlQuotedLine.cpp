#include "platform/linux/YamlQuotedLine.h"

#include <cstdint>
#include <utility>

#include "platform/TextCodec.h"

namespace vrx {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The one-letter escapes of a "..." scalar and the characters they stand for.
constexpr std::pair<char, char32_t> kLetterEscapes[] = {
    {'0', 0x00}, {'a', 0x07},  {'b', 0x08}, {'t', 0x09}, {'\t', 0x09},  {'n', 0x0A},
    {'v', 0x0B}, {'f', 0x0C},  {'r', 0x0D}, {'e', 0x1B}, {' ', 0x20},   {'"', 0x22},
    {'/', 0x2F}, {'\\', 0x5C}, {'N', 0x85}, {'_', 0xA0}, {'L', 0x2028}, {'P', 0x2029},
};

// One escape of a "..." scalar, its letter at pos; appends what it stands
// for and returns the position after it, or 0 for an escape YAML has not.
std::size_t Unescape(std::string_view line, std::size_t pos, std::string& out) {
    const char letter = line[pos];
    for (const auto& [escape, character] : kLetterEscapes) {
        if (letter == escape) {
            AppendUtf8(out, character);
            return pos + 1;
        }
    }
    const std::size_t digits = letter == 'x' ? 2 : letter == 'u' ? 4 : letter == 'U' ? 8 : 0;
    if (digits == 0) return 0;
    if (line.size() - pos - 1 < digits) return 0;
    std::uint32_t code = 0;
    for (std::size_t i = 1; i <= digits; ++i) {
        const int digit = HexDigit(line[pos + i]);
        if (digit < 0) return 0;
        code = code * 16 + static_cast<std::uint32_t>(digit);
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    AppendUtf8(out, static_cast<char32_t>(code));
    return pos + 1 + digits;
}

}  // namespace

QuotedLineEnd ScanQuotedLine(std::string_view line, char quote, std::string& out, std::size_t& keep, std::size_t& end) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == quote) {
            if (quote == '\'' && pos + 1 < line.size() && line[pos + 1] == '\'') {
                out += '\'';
                keep = out.size();
                pos += 2;
                continue;
            }
            end = pos + 1;
            return QuotedLineEnd::Closed;
        }
        if (quote == '"' && c == '\\') {
            if (pos + 1 == line.size()) return QuotedLineEnd::EscapedBreak;
            pos = Unescape(line, pos + 1, out);
            if (pos == 0) return QuotedLineEnd::Invalid;
            keep = out.size();
            continue;
        }
        out += c;
        ++pos;
    }
    return QuotedLineEnd::Open;
}

}  // namespace vrx
