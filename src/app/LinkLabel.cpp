#include "app/LinkLabel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "app/QtColour.h"

namespace vrx {

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setAccessibleName(caption);
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
    return fontMetrics().size(Qt::TextSingleLine, text()) + QSize(2, 2);
}

void LinkLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor colour = ToQColor(highlighted_ ? highlight_ : rest_);
    // A disabled link is drawn greyed, halfway to the background.
    if (!isEnabled()) colour.setAlpha(110);
    painter.setPen(colour);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
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
