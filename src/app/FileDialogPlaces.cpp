#include "app/FileDialogPlaces.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <algorithm>

namespace vrx {

namespace {

// The widgets of Qt's own dialog, by their object names.
QListView* SidePanel(QFileDialog& dialog) {
    auto* panel = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    return panel != nullptr && panel->model() != nullptr ? panel : nullptr;
}

QSplitter* PanelSplitter(QFileDialog& dialog) {
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    return splitter != nullptr && splitter->count() == 2 ? splitter : nullptr;
}

}  // namespace

FileDialogPlaces::FileDialogPlaces(QFileDialog& dialog, const std::vector<DialogPlace>& places)
    : dialog_(dialog), ownUrls_(dialog.sidebarUrls()) {
    if (places.empty()) return;
    QList<QUrl> urls = ownUrls_;
    for (const DialogPlace& place : places) {
        const QString folder = QDir::cleanPath(QString::fromStdString(place.folder));
        const QUrl url = QUrl::fromLocalFile(folder);
        if (!urls.contains(url)) urls << url;
        labels_.insert(folder, QString::fromStdString(place.label));
    }
    dialog.setSidebarUrls(urls);
    QListView* panel = SidePanel(dialog);
    if (panel == nullptr) return;
    // Qt names an entry after its folder, "drive_c" for every prefix, and
    // names it again whenever the folder changes; each time, ours replaces it.
    QAbstractItemModel* model = panel->model();
    const auto rename = [model, labels = labels_] {
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            // An entry's tooltip is its folder's full path.
            const auto label = labels.constFind(QDir::cleanPath(index.data(Qt::ToolTipRole).toString()));
            if (label != labels.constEnd() && index.data(Qt::DisplayRole).toString() != *label) {
                model->setData(index, *label, Qt::DisplayRole);
            }
        }
    };
    rename();
    QObject::connect(model, &QAbstractItemModel::dataChanged, &dialog, rename);
    // Sizes are known once the dialog is laid out on the screen.
    QTimer::singleShot(0, &dialog, [this] { widen(); });
}

void FileDialogPlaces::widen() {
    QListView* panel = SidePanel(dialog_);
    QSplitter* splitter = PanelSplitter(dialog_);
    if (panel == nullptr || splitter == nullptr) return;
    ownSizes_ = splitter->sizes();
    const int wanted =
        std::min(panel->sizeHintForColumn(0) + 2 * panel->frameWidth() + panel->verticalScrollBar()->sizeHint().width(),
                 dialog_.width() / 2);
    const int extra = wanted - ownSizes_.at(0);
    if (extra <= 0) return;
    dialog_.resize(dialog_.width() + extra, dialog_.height());
    splitter->setSizes({wanted, ownSizes_.at(1)});
}

FileDialogPlaces::~FileDialogPlaces() {
    if (labels_.isEmpty()) return;
    dialog_.setSidebarUrls(ownUrls_);
    if (QSplitter* splitter = PanelSplitter(dialog_); splitter != nullptr && !ownSizes_.isEmpty()) {
        splitter->setSizes(ownSizes_);
    }
}

}  // namespace vrx
