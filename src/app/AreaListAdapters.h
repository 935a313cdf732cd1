#pragma once
// The area list widget as the logic sees it: the selection update's view of
// List1 with the description and preview, and the install command's rows.

#include <QListWidget>
#include <functional>
#include <string>

#include "catalogue/AreaSelection.h"
#include "install/InstallCommand.h"

class QLabel;

namespace vrx {

class PreviewBox;

class ListSelectionView final : public AreaListView {
public:
    // resolve: the path as found on disk (letter case ignored).
    ListSelectionView(QListWidget& list, QLabel& description, PreviewBox& preview,
                      std::function<std::string(const std::string&)> resolve);
    int FocusedIndex() const override;
    int ItemCount() const override;
    bool IsChecked(int item) const override;
    void SetChecked(int item, bool checked) override;
    void ShowDescription(const std::string& text) override;
    bool ShowPreview(const std::string& path) override;

private:
    QListWidget& list_;
    QLabel& description_;
    PreviewBox& preview_;
    std::function<std::string(const std::string&)> resolve_;
};

class ListChecks final : public AreaChecks {
public:
    explicit ListChecks(const QListWidget& list) : list_(list) {}
    int RowCount() const override { return list_.count(); }
    bool IsChecked(int row) const override { return list_.item(row)->checkState() == Qt::Checked; }
    std::string RowText(int row) const override { return list_.item(row)->text().toStdString(); }

private:
    const QListWidget& list_;
};

}  // namespace vrx
