#include "app/LinkLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include "app/QtColour.h"

namespace vrx {

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : KeyboardButton(parent) {
    setText(caption);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
}

void LinkLabel::setColours(Colour rest, Colour highlight) {
    rest_ = rest;
    highlight_ = highlight;
    applyColour();
}

void LinkLabel::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) return;
    highlighted_ = highlighted;
    applyColour();
}

void LinkLabel::applyColour() {
    // The palette carries the colour, so styles and tests see what is drawn.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ToQColor(highlighted_ ? highlight_ : rest_));
    setPalette(colours);
    update();
}

QSize LinkLabel::sizeHint() const {
    return fontMetrics().size(Qt::TextSingleLine, text()) + QSize(2, 2);
}

void LinkLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QFont underlined = font();
    underlined.setUnderline(true);
    painter.setFont(underlined);
    const QColor ink = palette().color(QPalette::WindowText);
    if (showsFocusMark()) {
        // A faint wash of the text's own colour behind the caption, which
        // shows even where the caption fills the whole label.
        QColor wash = ink;
        wash.setAlpha(56);
        painter.fillRect(rect(), wash);
    }
    painter.setPen(ink);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (showsFocusMark()) {
        // A dotted frame in the text's own colour, which the add-on chose to
        // stand out on the window's background.
        QPen dots(ink, 0, Qt::DotLine);  // one device pixel wide at any scale
        painter.setPen(dots);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void LinkLabel::fitCaption() {
    QFont underlined = font();
    underlined.setUnderline(true);
    const int needed = QFontMetrics(underlined).horizontalAdvance(text()) + 1;
    if (width() < needed) resize(needed, height());
}

void LinkLabel::resizeEvent(QResizeEvent* event) {
    KeyboardButton::resizeEvent(event);
    fitCaption();
}

void LinkLabel::changeEvent(QEvent* event) {
    KeyboardButton::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitCaption();
}

}  // namespace vrx
