#include "platform/TextLines.h"

#include "platform/TextCodec.h"

namespace vrx {

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t cr = text.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

std::string_view EndedLinesOf(std::string_view text) {
    const std::size_t lastEnd = text.rfind('\r');
    if (lastEnd == std::string_view::npos) return {};
    // An LF right after the CR belongs to that line end.
    const std::size_t cut = lastEnd + 1 < text.size() && text[lastEnd + 1] == '\n' ? lastEnd + 2 : lastEnd + 1;
    return text.substr(0, cut);
}

std::optional<std::string> EncodeTextLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        const auto encoded = EncodeWindows1252(line);
        if (!encoded) return std::nullopt;
        bytes += *encoded;
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace vrx
