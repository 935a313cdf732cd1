#pragma once
// What the window's clickable pictures and link labels share: a hand pointer,
// focus from Tab, a click on Enter as well as on Space, and a focus mark that
// shows only while the focus came from the keyboard (a mouse click leaves no
// mark that could read as "selected"). Each kind draws its own mark.

#include <QAbstractButton>

namespace vrx {

class KeyboardButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit KeyboardButton(QWidget* parent = nullptr);

    // Whether the focus mark is drawn now: only for focus from the keyboard.
    bool showsFocusMark() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool keyboardFocus_ = false;
};

}  // namespace vrx
