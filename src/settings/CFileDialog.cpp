#include "settings/CFileDialog.h"

#include <stdexcept>

#include "platform/Dialogs.h"
#include "settings/FileDialogText.h"

namespace vrx {

namespace {

constexpr std::size_t kSingleBuffer = 1024;
constexpr std::size_t kMultiBuffer = 8192;

std::string LastComponent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// What the file buffer holds after a multi-selection: one file as its full
// path, several as folder NUL name NUL ... NUL NUL; then NULs up to size.
// Empty when the result does not fit, as the system dialog then fails.
std::string MultiSelectionBuffer(const std::vector<std::string>& files, std::size_t size) {
    std::string buffer;
    if (files.size() == 1) {
        buffer = files.front();
    } else {
        buffer = FolderOf(files.front());
        for (const std::string& file : files) {
            buffer += '\0';
            buffer += LastComponent(file);
        }
        buffer += '\0';
    }
    if (buffer.size() + 1 > size) return "";
    buffer.resize(size, '\0');
    return buffer;
}

}  // namespace

CFileDialog::CFileDialog(Dialogs& dialogs) : dialogs_(dialogs) {}

void CFileDialog::SetFilter(const std::string& sFilter) {
    filter_ = sFilter;
    filterForm_ = ConvertFilter(sFilter);
}

void CFileDialog::SetDefaultExt(const std::string& sDefaultExt) {
    defaultExt_ = sDefaultExt;
    defaultExtForm_ = WithDoubleNull(sDefaultExt);
}

void CFileDialog::SetInitDir(const std::string& vNewValue) {
    initDir_ = vNewValue;
    initDirForm_ = WithDoubleNull(vNewValue);
}

void CFileDialog::ShowOpen() {
    const bool multi = (flags_ & kOfnAllowMultiSelect) != 0;
    const std::size_t size = multi ? kMultiBuffer : kSingleBuffer;
    if (fileName_.size() > size || fileTitle_.size() > size) {
        throw std::invalid_argument("the file name is longer than the dialog's buffer");
    }
    cancel_ = false;
    requestFlags_ = multi ? flags_ | kOfnExplorer : flags_;

    FileDialogRequest request = Request(FileDialogRequest::Kind::Open);
    request.multiSelect = multi;

    const auto answer = dialogs_.chooseFile(request);
    if (!answer || answer->files.empty()) {
        cancel_ = true;
        return;
    }
    if (multi) {
        std::string buffer = MultiSelectionBuffer(answer->files, size);
        if (buffer.empty()) {
            cancel_ = true;
            return;
        }
        fileName_ = std::move(buffer);
    } else {
        const std::string& file = answer->files.front();
        if (file.size() + 1 > size) {
            cancel_ = true;
            return;
        }
        fileName_ = TrimAtNull(file);
        fileTitle_ = TrimAtNull(LastComponent(file));
    }
    filterIndex_ = answer->filterIndex;
}

FileDialogRequest CFileDialog::Request(FileDialogRequest::Kind kind) const {
    FileDialogRequest request;
    request.kind = kind;
    request.filters = FilterEntries(filterForm_);
    request.filterIndex = filterIndex_;
    request.title = dialogTitle_;
    request.initDir = TrimAtNull(initDirForm_);
    request.defaultExt = TrimAtNull(defaultExtForm_);
    request.fileName = fileName_;
    request.flags = requestFlags_;
    request.owned = hwnd_ != 0;
    return request;
}

void CFileDialog::ShowSave() {
    if (fileName_.size() > kSingleBuffer || fileTitle_.size() > kSingleBuffer) {
        throw std::invalid_argument("the file name is longer than the dialog's buffer");
    }
    cancel_ = false;
    requestFlags_ = flags_;

    const FileDialogRequest request = Request(FileDialogRequest::Kind::Save);

    const auto answer = dialogs_.chooseFile(request);
    if (!answer || answer->files.empty() || answer->files.front().size() + 1 > kSingleBuffer) {
        fileName_.clear();
        cancel_ = true;
        return;
    }
    fileName_ = TrimAtNull(answer->files.front());
    filterIndex_ = answer->filterIndex;
}

void CFileDialog::ParseMultiFileName(std::string& sDir, std::vector<std::string>& sFiles,
                                     std::int32_t& lFileCount) const {
    vrx::ParseMultiFileName(fileName_, sDir, sFiles, lFileCount);
}

}  // namespace vrx
