#include "app/SidebarButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QStyleOption>

#include "app/PictureDrawing.h"

namespace vrx {

SidebarButton::SidebarButton(QWidget* parent) : KeyboardButton(parent) {}

bool SidebarButton::setPicture(const QPixmap& image) {
    picture_ = image;
    update();
    return !image.isNull();
}

QSize SidebarButton::sizeHint() const {
    return picture_.isNull() ? QSize(65, 65) : picture_.size();
}

void SidebarButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (isEnabled()) {
        DrawPicture(painter, rect(), picture_);
    } else {
        // Greyed and faded as the style draws a disabled icon.
        const qreal ratio = DevicePixelsPerUnit(painter);
        QStyleOption option;
        option.initFrom(this);
        const QPixmap grey =
            style()->generatedIconPixmap(QIcon::Disabled, ScaledForDevice(picture_, size(), ratio), &option);
        painter.drawPixmap(rect(), grey);
    }
    if (showsFocusMark()) {
        // A thin frame, black with white dots, that shows on any picture
        // without covering it.
        const QRect frame = rect().adjusted(1, 1, -2, -2);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(frame);
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(frame);
    }
}

// Every press sinks the button and every release lifts it, whichever mouse
// button it is, so a press and its release leave it where it was.
void SidebarButton::mousePressEvent(QMouseEvent* event) {
    move(pos() + QPoint(1, 1));
    KeyboardButton::mousePressEvent(event);
}

void SidebarButton::mouseReleaseEvent(QMouseEvent* event) {
    // Back in place before the click's action runs.
    move(pos() - QPoint(1, 1));
    KeyboardButton::mouseReleaseEvent(event);
}

void SidebarButton::mouseMoveEvent(QMouseEvent* event) {
    KeyboardButton::mouseMoveEvent(event);
    // A move over the button stops here: the panel under it would reset the hover help.
    event->accept();
}

}  // namespace vrx
