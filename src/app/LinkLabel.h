#pragma once
// A clickable link label of a window's lblSelect array. How a window uses it:
// create one per command with its caption and object name, place it from the
// layout table (its font, underlined, comes from there), connect clicked() to
// the command, give it the interface colours with setColours(TextForeColor,
// TextHighlightColor), and let the window's hover rules call setHighlighted().
//
// It draws its caption underlined in its font on a transparent background,
// shows a hand pointer, takes focus with Tab, clicks on a mouse release over
// it, on Enter and on Space, and is exposed to assistive technology as a
// button named by its caption with a Press action. A dotted focus mark shows
// while it has the focus from the keyboard. Where the layout makes it a pixel
// or two narrower than its caption (a rounding on a scaled desktop), it widens
// to the right so that no letter is cut.

#include "app/KeyboardButton.h"
#include "ui/Colour.h"

namespace vrx {

class LinkLabel : public KeyboardButton {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& caption, QWidget* parent = nullptr);

    // The text colour at rest and under the mouse.
    void setColours(Colour rest, Colour highlight);
    // Draws the caption in the highlight colour (true) or the rest colour.
    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return highlighted_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyColour();
    void fitCaption();

    Colour rest_ = 0;
    Colour highlight_ = 0;
    bool highlighted_ = false;
};

}  // namespace vrx
