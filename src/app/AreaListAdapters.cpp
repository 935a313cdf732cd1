#include "app/AreaListAdapters.h"

#include <QLabel>
#include <QPixmap>
#include <utility>

#include "app/PreviewBox.h"

namespace vrx {

ListSelectionView::ListSelectionView(QListWidget& list, QLabel& description, PreviewBox& preview,
                                     std::function<std::string(const std::string&)> resolve)
    : list_(list), description_(description), preview_(preview), resolve_(std::move(resolve)) {}

int ListSelectionView::FocusedIndex() const {
    return list_.currentRow();
}

int ListSelectionView::ItemCount() const {
    return list_.count();
}

bool ListSelectionView::IsChecked(int item) const {
    return list_.item(item)->checkState() == Qt::Checked;
}

void ListSelectionView::SetChecked(int item, bool checked) {
    list_.item(item)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void ListSelectionView::ShowDescription(const std::string& text) {
    // The catalogue's line breaks are CR LF; a label breaks at LF alone.
    const QString shown = QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    description_.setText(shown);
    // A screen reader reads the preview as the focused area's picture.
    const QListWidgetItem* focused = list_.currentItem();
    preview_.setAccessibleName(focused != nullptr ? focused->text() : QString());
    preview_.setAccessibleDescription(shown);
}

bool ListSelectionView::ShowPreview(const std::string& path) {
    QPixmap picture(QString::fromStdString(resolve_(path)));
    if (picture.isNull()) return false;
    preview_.setPicture(picture);
    return true;
}

}  // namespace vrx
