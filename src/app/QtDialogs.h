#pragma once
// The program's folder and file dialogs: Qt's own dialogs (the same on every
// desktop, and their name filters ignore letter case, as Windows' do), modal
// over the window that asks. The only place that builds a QFileDialog.
// Both show hidden folders, where Wine prefixes live, and offer the places
// they are given in their side panel for as long as they are open.

#include <functional>

#include "platform/Dialogs.h"

namespace vrx {

class QtDialogs final : public Dialogs {
public:
    // places: asked for at each opening; none offered when empty.
    explicit QtDialogs(std::function<DialogPlaces()> places = {});

    std::optional<std::string> chooseFolder(const FolderDialogRequest& request) override;
    std::optional<FileDialogAnswer> chooseFile(const FileDialogRequest& request) override;

private:
    DialogPlaces offered() const;

    std::function<DialogPlaces()> places_;
};

}  // namespace vrx
