#pragma once
// List1: a list with a check box per item that also reports every mouse
// release over it, after the list has handled the release itself.

#include <QListWidget>

namespace vrx {

class AreaListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit AreaListWidget(QWidget* parent = nullptr);

signals:
    void mouseReleased();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace vrx
