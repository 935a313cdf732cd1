#pragma once
// cFileDialog: the open and save file dialogs behind properties. The caller
// sets a filter, a title, flags..., calls ShowOpen or ShowSave and reads the
// chosen file back. The dialogs themselves are the platform's (Dialogs).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace vrx {

inline constexpr std::uint32_t kOfnAllowMultiSelect = 0x200;
inline constexpr std::uint32_t kOfnExplorer = 0x80000;
inline constexpr std::uint32_t kOfnOverwritePrompt = 0x2;

class CFileDialog {
public:
    explicit CFileDialog(Dialogs& dialogs);

    // True after the last ShowOpen / ShowSave ended without a file.
    bool Cancel() const { return cancel_; }
    // Stored and returned; the dialogs do not consult it.
    bool CancelError() const { return cancelError_; }
    void SetCancelError(bool bCancelError) { cancelError_ = bCancelError; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& sFilename) { fileName_ = sFilename; }
    const std::string& FileTitle() const { return fileTitle_; }
    void SetFileTitle(const std::string& vNewValue) { fileTitle_ = vNewValue; }
    // Filter pairs: description, "|" or ":", pattern, ... (the text as set).
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& sFilter);
    // 1-based filter shown first; after a dialog, the one the user last chose.
    std::int32_t FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(std::int32_t lFilterIndex) { filterIndex_ = lFilterIndex; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& sDefaultExt);
    const std::string& DialogTitle() const { return dialogTitle_; }
    void SetDialogTitle(const std::string& vNewValue) { dialogTitle_ = vNewValue; }
    std::uint32_t flags() const { return flags_; }
    void Setflags(std::uint32_t vNewValue) { flags_ = vNewValue; }
    // Non-zero: the dialog is modal to the window that shows it.
    std::int32_t hwnd() const { return hwnd_; }
    void Sethwnd(std::int32_t vNewValue) { hwnd_ = vNewValue; }
    const std::string& InitDir() const { return initDir_; }
    void SetInitDir(const std::string& vNewValue);

    // Shows the open dialog. Throws std::invalid_argument, changing nothing,
    // when FileName or FileTitle is longer than the buffer (1024, or 8192
    // with kOfnAllowMultiSelect).
    void ShowOpen();
    // Shows the save dialog; a cancel empties FileName.
    void ShowSave();
    // Splits a multi-selection FileName (see FileDialogText.h).
    void ParseMultiFileName(std::string& sDir, std::vector<std::string>& sFiles, std::int32_t& lFileCount) const;

    // The request's forms of the converted properties (for tests): the filter
    // with NULs, the folder and extension with two NULs, and the flags of the last show.
    const std::string& FilterRequestForm() const { return filterForm_; }
    const std::string& InitDirRequestForm() const { return initDirForm_; }
    const std::string& DefaultExtRequestForm() const { return defaultExtForm_; }
    std::uint32_t RequestFlags() const { return requestFlags_; }

private:
    // The dialog's request from the properties as they stand now.
    FileDialogRequest Request(FileDialogRequest::Kind kind) const;

    Dialogs& dialogs_;
    bool cancel_ = false;
    bool cancelError_ = false;
    std::string fileName_;
    std::string fileTitle_;
    std::string filter_;
    std::int32_t filterIndex_ = 1;
    std::string defaultExt_;
    std::string dialogTitle_;
    std::uint32_t flags_ = 0;
    std::int32_t hwnd_ = 0;
    std::string initDir_;
    std::string filterForm_;
    std::string initDirForm_;
    std::string defaultExtForm_;
    std::uint32_t requestFlags_ = 0;
};

}  // namespace vrx
