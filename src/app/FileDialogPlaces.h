#pragma once
// The places a Qt file dialog offers in its side panel beside its own, each
// under a name of its own, for as long as the dialog is open: Qt keeps a
// dialog's side panel (and its width) in the user's settings when the dialog
// is destroyed, shared by every Qt program, which must keep none of ours.

#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>
#include <vector>

#include "platform/Dialogs.h"

class QFileDialog;

namespace vrx {

class FileDialogPlaces {
public:
    // Adds the places to dialog's panel; once the dialog shows, widens the
    // panel to show their names whole (at most to half the dialog),
    // and the dialog by as much. The dialog must outlive this object.
    FileDialogPlaces(QFileDialog& dialog, const std::vector<DialogPlace>& places);
    // Puts the dialog's own panel and its width back.
    ~FileDialogPlaces();
    FileDialogPlaces(const FileDialogPlaces&) = delete;
    FileDialogPlaces& operator=(const FileDialogPlaces&) = delete;

private:
    void widen();

    QFileDialog& dialog_;
    QList<QUrl> ownUrls_;
    QList<int> ownSizes_;
    QHash<QString, QString> labels_;  // folder (cleaned) -> name shown
};

}  // namespace vrx
