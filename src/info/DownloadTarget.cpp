#include "info/DownloadTarget.h"

namespace vrx {

std::string FreeDownloadName(const std::string& suggested, const std::function<bool(const std::string&)>& exists) {
    std::string name =
        suggested.substr(suggested.find_last_of("/\\") == std::string::npos ? 0 : suggested.find_last_of("/\\") + 1);
    if (name.empty() || name == "." || name == "..") name = "download";
    if (!exists(name)) return name;
    // "setup.exe" gives "setup (1).exe"; a name without an extension, or one
    // that is all extension (".profile"), takes the number at its end.
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    for (int n = 1;; ++n) {
        std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
        if (!exists(candidate)) return candidate;
    }
}

std::string DownloadSavedText(const std::string& path) {
    return "Download saved to " + path;
}

std::string DownloadFailedText(const std::string& name) {
    return "The download of " + name + " failed.";
}

}  // namespace vrx
