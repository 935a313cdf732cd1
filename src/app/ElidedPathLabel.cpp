#include "app/ElidedPathLabel.h"

#include <QPainter>
#include <QStyle>

namespace vrx {

ElidedPathLabel::ElidedPathLabel(QWidget* parent) : QLabel(parent) {}

void ElidedPathLabel::setPath(const QString& text) {
    setText(text);
    setToolTip(text);
}

QRect ElidedPathLabel::textArea() const {
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    // A frameless label's default indent is none.
    const int indentation = indent() > 0 ? indent() : 0;
    const Qt::Alignment horizontal = QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignLeft) area.setLeft(area.left() + indentation);
    if (horizontal & Qt::AlignRight) area.setRight(area.right() - indentation);
    return area;
}

QString ElidedPathLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, textArea().width());
}

void ElidedPathLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, textArea(),
                          QStyle::visualAlignment(layoutDirection(), alignment()) | Qt::TextSingleLine, palette(),
                          isEnabled(), shownText(), foregroundRole());
}

}  // namespace vrx
