#pragma once
// A one-line label for a path or a sentence ending in one: a text wider than
// the label is shortened in the middle with "…", as the status window's
// caption is, so that the start and the file or folder name at the end stay
// readable instead of being cut off mid-word. text(), and so what assistive
// technology reads, stays the whole text; setPath() also puts it in the tooltip.

#include <QLabel>

namespace vrx {

class ElidedPathLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedPathLabel(QWidget* parent = nullptr);

    // Shows text, whole in the tooltip.
    void setPath(const QString& text);
    // The text as drawn at the label's present size: whole when it fits, else
    // shortened in the middle with "…".
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the text is drawn: the contents less margin and indent.
    QRect textArea() const;
};

}  // namespace vrx
