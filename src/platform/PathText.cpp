#include "platform/PathText.h"

namespace vrx {

std::string JoinPath(std::string_view folder, std::string_view tail) {
    std::string path;
    path.reserve(folder.size() + 1 + tail.size());
    path.append(folder);
    path += '/';
    path.append(tail);
    return path;
}

std::string CollapseSeparators(std::string_view path) {
    // One pass that consumes each pair it replaces, so "///" keeps two
    // separators exactly as the original string replacement did.
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        out += path[i];
        if (path[i] == '/' && i + 1 < path.size() && path[i + 1] == '/') ++i;
    }
    return out;
}

std::string JoinCollapsed(std::string_view folder, std::string_view tail) {
    return CollapseSeparators(JoinPath(folder, tail));
}

std::string DataPath(std::string_view text) {
    std::string path(text);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

bool HasParentComponent(std::string_view relativePath) {
    std::size_t start = 0;
    while (start <= relativePath.size()) {
        std::size_t end = relativePath.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = relativePath.size();
        if (relativePath.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

}  // namespace vrx
