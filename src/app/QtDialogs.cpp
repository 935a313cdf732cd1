#include "app/QtDialogs.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHash>
#include <QListView>
#include <QStringList>
#include <QUrl>

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

// Adds the places to the dialog's side panel under their own names, for as
// long as it lives: the dialog saves its panel into the user's Qt settings
// when it is destroyed, shared by every Qt program, which must not keep ours.
class OfferedPlaces {
public:
    OfferedPlaces(QFileDialog& dialog, const std::vector<DialogPlace>& places)
        : dialog_(dialog), own_(dialog.sidebarUrls()) {
        if (places.empty()) return;
        QList<QUrl> urls = own_;
        for (const DialogPlace& place : places) {
            const QString folder = QDir::cleanPath(QString::fromStdString(place.folder));
            const QUrl url = QUrl::fromLocalFile(folder);
            if (!urls.contains(url)) urls << url;
            labels_.insert(folder, QString::fromStdString(place.label));
        }
        dialog.setSidebarUrls(urls);
        // Qt names an entry after its folder, "drive_c" for every prefix, and
        // names it again whenever the folder changes; each time, ours replaces it.
        if (auto* sidebar = dialog.findChild<QListView*>(QStringLiteral("sidebar")); sidebar && sidebar->model()) {
            QAbstractItemModel* model = sidebar->model();
            const auto rename = [model, labels = labels_] {
                for (int row = 0; row < model->rowCount(); ++row) {
                    const QModelIndex index = model->index(row, 0);
                    // The entry's tooltip is its folder's full path.
                    const auto label = labels.constFind(QDir::cleanPath(index.data(Qt::ToolTipRole).toString()));
                    if (label != labels.constEnd() && index.data(Qt::DisplayRole).toString() != *label) {
                        model->setData(index, *label, Qt::DisplayRole);
                    }
                }
            };
            rename();
            QObject::connect(model, &QAbstractItemModel::dataChanged, &dialog, rename);
        }
    }
    ~OfferedPlaces() {
        if (!labels_.isEmpty()) dialog_.setSidebarUrls(own_);
    }
    OfferedPlaces(const OfferedPlaces&) = delete;
    OfferedPlaces& operator=(const OfferedPlaces&) = delete;

private:
    QFileDialog& dialog_;
    QList<QUrl> own_;
    QHash<QString, QString> labels_;
};

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
    const OfferedPlaces offer(dialog, places.places);
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
    const OfferedPlaces offer(dialog, places.places);
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
