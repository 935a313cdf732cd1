#include "app/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "app/FileDialogPlaces.h"
#include "settings/CFileDialog.h"

namespace vrx {

namespace {

QWidget* AskingWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QString FilterText(const FileFilter& filter) {
    return QString::fromStdString(filter.description) + QStringLiteral(" (") + QString::fromStdString([&] {
               std::string patterns;
               for (const std::string& pattern : filter.patterns) {
                   if (!patterns.empty()) patterns += ' ';
                   patterns += pattern;
               }
               return patterns;
           }()) +
           QStringLiteral(")");
}

// Wine prefixes live in hidden folders (~/.wine, ~/.steam, ~/.local/share/...).
void ShowHidden(QFileDialog& dialog) {
    dialog.setFilter(dialog.filter() | QDir::Hidden);
}

}  // namespace

QtDialogs::QtDialogs(std::function<DialogPlaces()> places) : places_(std::move(places)) {}

DialogPlaces QtDialogs::offered() const {
    return places_ ? places_() : DialogPlaces{};
}

std::optional<std::string> QtDialogs::chooseFolder(const FolderDialogRequest& request) {
    const DialogPlaces places = offered();
    QFileDialog dialog(AskingWindow(), QString::fromStdString(request.prompt));
    dialog.setObjectName(QStringLiteral("FolderDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setWindowModality(Qt::WindowModal);
    ShowHidden(dialog);
    const FileDialogPlaces offer(dialog, places.places);
    if (!request.startFolder.empty()) dialog.setDirectory(QString::fromStdString(request.startFolder));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<FileDialogAnswer> QtDialogs::chooseFile(const FileDialogRequest& request) {
    const DialogPlaces places = offered();
    QFileDialog dialog(request.owned ? AskingWindow() : nullptr);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Shown as the caller wrote it (FSX.EXE), not with its patterns repeated.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save) {
        dialog.setFileMode(QFileDialog::AnyFile);
        if ((request.flags & kOfnOverwritePrompt) == 0) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!request.title.empty()) dialog.setWindowTitle(QString::fromStdString(request.title));
    ShowHidden(dialog);
    const FileDialogPlaces offer(dialog, places.places);
    if (!request.initDir.empty()) {
        dialog.setDirectory(QString::fromStdString(request.initDir));
    } else if (request.fileName.find('/') == std::string::npos && !places.openStartFolder.empty()) {
        // Neither a folder nor a file with its folder asked for: where the simulator most likely is.
        dialog.setDirectory(QString::fromStdString(places.openStartFolder));
    }
    if (!request.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    QStringList filters;
    for (const FileFilter& filter : request.filters) filters << FilterText(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;

    FileDialogAnswer answer;
    for (const QString& file : dialog.selectedFiles()) answer.files.push_back(file.toStdString());
    // With the patterns hidden, the dialog names the filter by its description alone.
    answer.filterIndex = request.filterIndex;
    const QString chosen = dialog.selectedNameFilter();
    for (int i = 0; i < filters.size(); ++i) {
        if (filters.at(i) == chosen || filters.at(i).startsWith(chosen + QStringLiteral(" ("))) {
            answer.filterIndex = i + 1;
            break;
        }
    }
    return answer;
}

}  // namespace vrx
