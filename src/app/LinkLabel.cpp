#include "app/LinkLabel.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>

#include "app/QtColour.h"

namespace vrx {

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
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

bool LinkLabel::showsFocusMark() const {
    return hasFocus() && keyboardFocus_;
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
    QAbstractButton::resizeEvent(event);
    fitCaption();
}

void LinkLabel::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::FontChange) fitCaption();
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    if (!keyboardFocus_) {
        // Once the keyboard is used, the focus shows.
        keyboardFocus_ = true;
        update();
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void LinkLabel::focusInEvent(QFocusEvent* event) {
    // A mouse click leaves no mark; Tab, Backtab and the program's own focus do.
    // Coming back to the window keeps the mark as it was.
    if (event->reason() != Qt::ActiveWindowFocusReason) keyboardFocus_ = event->reason() != Qt::MouseFocusReason;
    QAbstractButton::focusInEvent(event);
}

void LinkLabel::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::ActiveWindowFocusReason) keyboardFocus_ = false;
    QAbstractButton::focusOutEvent(event);
}

}  // namespace vrx
