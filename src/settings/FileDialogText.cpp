#include "settings/FileDialogText.h"

#include <stdexcept>

namespace vrx {

namespace {

constexpr char kNul = '\0';
constexpr std::string_view kDoubleNul{"\0\0", 2};

std::vector<std::string> SplitAt(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

std::string TrimAtNull(std::string_view text) {
    return std::string(text.substr(0, text.find(kNul)));
}

std::string ConvertFilter(std::string_view sFilter) {
    std::string form(sFilter);
    for (char& c : form) {
        if (c == '|' || c == ':') c = kNul;
    }
    form.append(kDoubleNul);
    return form;
}

std::vector<FileFilter> FilterEntries(std::string_view requestForm) {
    std::vector<FileFilter> filters;
    std::vector<std::string> entries;
    std::size_t start = 0;
    // The list ends at its first empty entry (the double NUL).
    while (start < requestForm.size()) {
        const std::size_t end = requestForm.find(kNul, start);
        const std::size_t stop = end == std::string_view::npos ? requestForm.size() : end;
        if (stop == start) break;
        entries.emplace_back(requestForm.substr(start, stop - start));
        start = stop + 1;
    }
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2) {
        FileFilter filter{entries[i], {}};
        for (std::string& pattern : SplitAt(entries[i + 1], ';')) {
            if (!pattern.empty()) filter.patterns.push_back(std::move(pattern));
        }
        filters.push_back(std::move(filter));
    }
    return filters;
}

std::string WithDoubleNull(std::string_view text) {
    std::string form(text);
    form.append(kDoubleNul);
    return form;
}

void ParseMultiFileName(std::string_view fileName, std::string& sDir, std::vector<std::string>& sFiles,
                        std::int32_t& lFileCount) {
    const std::size_t pair = fileName.find(kDoubleNul);
    if (pair == std::string_view::npos) {
        throw std::invalid_argument("the file name holds no multi-selection result");
    }
    if (lFileCount < 0) throw std::invalid_argument("a negative file count");
    const std::string_view part = fileName.substr(0, pair);
    if (const std::size_t first = part.find(kNul); first != std::string_view::npos) {
        sDir = std::string(part.substr(0, first));
        const std::vector<std::string> names = SplitAt(part.substr(first + 1), kNul);
        for (const std::string& name : names) {
            ++lFileCount;
            sFiles.resize(static_cast<std::size_t>(lFileCount));
            sFiles[static_cast<std::size_t>(lFileCount) - 1] = name;
        }
        return;
    }
    lFileCount = 1;
    sFiles.assign(1, std::string());
    const std::size_t slash = fileName.rfind('/');
    if (slash == std::string_view::npos) {
        sDir.clear();
        // The padding NULs are not part of the name.
        sFiles[0] = TrimAtNull(fileName);
        return;
    }
    sDir = std::string(fileName.substr(0, slash + 1));
    sFiles[0] = TrimAtNull(fileName.substr(slash + 1));
}

}  // namespace vrx
