#pragma once
// The program's folder and file dialogs: Qt's own dialogs (the same on every
// desktop, and their name filters ignore letter case, as Windows' do), modal
// over the window that asks. The only place that builds a QFileDialog.

#include "platform/Dialogs.h"

namespace vrx {

class QtDialogs final : public Dialogs {
public:
    std::optional<std::string> chooseFolder(const FolderDialogRequest& request) override;
    std::optional<FileDialogAnswer> chooseFile(const FileDialogRequest& request) override;
};

}  // namespace vrx
