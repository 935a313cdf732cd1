#include "settings/FolderBrowse.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "settings/FileDialogText.h"

namespace vrx {

std::string BrowseStartFolder(std::string_view startFolder) {
    std::string folder(startFolder);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string ExistingStartFolder(FileSystem& fs, std::string_view startFolder) {
    std::string folder = BrowseStartFolder(startFolder);
    while (!folder.empty()) {
        if (fs.isFolder(folder)) return folder;
        if (folder == "/") break;
        folder.pop_back();  // the trailing "/"
        const std::size_t slash = folder.rfind('/');
        if (slash == std::string::npos) break;
        folder.resize(slash + 1);
    }
    return "";
}

std::string BrowseResultPath(std::string_view chosen) {
    std::string path = TrimAtNull(chosen);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string BrowseForFolder(Dialogs& dialogs, FileSystem& fs, const std::string& startFolder) {
    const FolderDialogRequest request{kBrowsePrompt, ExistingStartFolder(fs, startFolder)};
    const auto chosen = dialogs.chooseFolder(request);
    return chosen ? BrowseResultPath(*chosen) : std::string();
}

}  // namespace vrx
