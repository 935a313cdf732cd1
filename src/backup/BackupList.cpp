#include "backup/BackupList.h"

#include <limits>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/PathText.h"

namespace vrx {

std::optional<std::int32_t> ParseListCount(std::string_view line) {
    std::size_t pos = 0;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) {
        negative = line[pos] == '-';
        ++pos;
    }
    const std::size_t digitsStart = pos;
    // Accumulated as a magnitude so that the most negative 32-bit value still fits.
    std::int64_t magnitude = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
        magnitude = magnitude * 10 + (line[pos] - '0');
        if (magnitude > limit) return std::nullopt;
        ++pos;
    }
    if (pos == digitsStart) return std::nullopt;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos != line.size()) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::optional<BackupList> BackupList::Read(FileSystem& fs, const std::string& path) {
    std::optional<TextLines> text = fs.readTextLines(path);
    if (!text || text->lines.empty()) return std::nullopt;
    std::optional<std::int32_t> count = ParseListCount(text->lines.front());
    if (!count) return std::nullopt;
    BackupList list;
    list.count_ = *count;
    // Lines past a failed read are simply absent, so asking for them ends the list.
    list.lines_ = std::move(text->lines);
    return list;
}

std::optional<std::string> BackupList::Entry(std::int64_t lineNumber) const {
    if (lineNumber < 2 || lineNumber > static_cast<std::int64_t>(lines_.size())) return std::nullopt;
    return DataPath(lines_[static_cast<std::size_t>(lineNumber - 1)]);
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    const std::string_view tail = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

}  // namespace vrx
