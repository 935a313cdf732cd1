#include "app/LinkLabel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "app/QtColour.h"

namespace vrx {

LinkLabel::LinkLabel(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void LinkLabel::setColours(Colour rest, Colour highlight) {
    rest_ = rest;
    highlight_ = highlight;
    update();
}

void LinkLabel::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    update();
}

QSize LinkLabel::sizeHint() const {
    return fontMetrics().size(Qt::TextSingleLine, text()) + QSize(4, 2);
}

void LinkLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QFont underlined = font();
    underlined.setUnderline(true);
    painter.setFont(underlined);
    painter.setPen(ToQColor(highlighted_ ? highlight_ : rest_));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = painter.boundingRect(rect(), Qt::AlignLeft | Qt::AlignTop, text()).adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace vrx
