#pragma once
// List1: a list with a check box per item. A mouse click on it (press and
// release, which may move the focus and toggle a check box) is reported once,
// as mouseReleased after the list has handled the release; changes made
// while a mouse button is held are reported by that release.

#include <QListWidget>

namespace vrx {

class AreaListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit AreaListWidget(QWidget* parent = nullptr);

    // True between a mouse press on the list and its release.
    bool mouseButtonHeld() const { return held_; }

signals:
    void mouseReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool held_ = false;
};

}  // namespace vrx
