#pragma once
// A picture button of the sidebar: shows its bitmap, sinks one pixel right
// and down while a mouse button is held on it, and clicks like a button from
// the mouse, the keyboard (Space, Enter) and assistive tools. Its picture is
// drawn smoothly at the device pixel ratio, greyed while it is disabled, with
// a thin frame while it has the focus from the keyboard.

#include <QPixmap>

#include "app/KeyboardButton.h"

namespace vrx {

class SidebarButton : public KeyboardButton {
    Q_OBJECT
public:
    explicit SidebarButton(QWidget* parent = nullptr);

    // Shows image scaled to the button; false when image is null.
    bool setPicture(const QPixmap& image);

    QSize sizeHint() const override;
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace vrx
