#pragma once
// A link label (lblSelect): underlined text with a pointing hand that acts
// on a click, Enter or Space, focusable, with a focus mark, and seen by
// assistive tools as a button named by its caption with a Press action.

#include <QAbstractButton>

#include "ui/Colour.h"

namespace vrx {

class LinkLabel : public QAbstractButton {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // The text colour at rest and while highlighted (under the mouse).
    void setColours(Colour rest, Colour highlight);
    void setHighlighted(bool highlighted);
    bool highlighted() const { return highlighted_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Colour rest_ = 0;
    Colour highlight_ = 0;
    bool highlighted_ = false;
};

}  // namespace vrx
