#pragma once
// A link label (lblSelect): underlined text with a hand pointer that acts
// like a button from the mouse, the keyboard (Enter, Space) and assistive
// tools, named by its caption, with a focus mark. Its colour is set by the
// window, which decides the hover rules.

#include <QAbstractButton>

#include "ui/Colour.h"

namespace vrx {

class LinkLabel : public QAbstractButton {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& caption, QWidget* parent = nullptr);

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
