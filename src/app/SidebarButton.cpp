#include "app/SidebarButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace vrx {

SidebarButton::SidebarButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

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
    painter.drawPixmap(rect(), picture_);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

// Every press sinks the button and every release lifts it, whichever mouse
// button it is, so a press and its release leave it where it was.
void SidebarButton::mousePressEvent(QMouseEvent* event) {
    move(pos() + QPoint(1, 1));
    QAbstractButton::mousePressEvent(event);
}

void SidebarButton::mouseReleaseEvent(QMouseEvent* event) {
    // Back in place before the click's action runs.
    move(pos() - QPoint(1, 1));
    QAbstractButton::mouseReleaseEvent(event);
}

void SidebarButton::mouseMoveEvent(QMouseEvent* event) {
    QAbstractButton::mouseMoveEvent(event);
    // A move over the button stops here: the panel under it would reset the hover help.
    event->accept();
}

void SidebarButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace vrx
