#include "app/KeyboardButton.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace vrx {

KeyboardButton::KeyboardButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

bool KeyboardButton::showsFocusMark() const {
    return hasFocus() && keyboardFocus_;
}

void KeyboardButton::keyPressEvent(QKeyEvent* event) {
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

void KeyboardButton::focusInEvent(QFocusEvent* event) {
    // Tab, Backtab and the program's own focus leave a mark; a mouse click does
    // not. Coming back to the window keeps the mark as it was. A dialog that
    // opens tells the control it chose for the focus with a Tab focus event
    // before the window is active, while the control does not hold the focus
    // yet: no key was pressed, so that leaves no mark either.
    const bool announcedByOpeningDialog = !hasFocus();
    if (event->reason() != Qt::ActiveWindowFocusReason && !announcedByOpeningDialog) {
        keyboardFocus_ = event->reason() != Qt::MouseFocusReason;
    }
    QAbstractButton::focusInEvent(event);
}

void KeyboardButton::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::ActiveWindowFocusReason) keyboardFocus_ = false;
    QAbstractButton::focusOutEvent(event);
}

}  // namespace vrx
