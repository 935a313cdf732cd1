#pragma once
// A picture button of the sidebar: shows its bitmap, sinks one pixel right
// and down while a mouse button is held on it, and clicks like a button from
// the mouse, the keyboard (Space, Enter) and assistive tools.

#include <QAbstractButton>
#include <QPixmap>

namespace vrx {

class SidebarButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit SidebarButton(QWidget* parent = nullptr);

    // Shows image scaled to the button; false when image is null.
    bool setPicture(const QPixmap& image);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace vrx
