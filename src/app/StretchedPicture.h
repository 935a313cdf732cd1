#pragma once
// A picture stretched over the whole control (the banner), drawn smoothly at
// the device pixel ratio.

#include <QPixmap>
#include <QWidget>

namespace vrx {

class StretchedPicture : public QWidget {
    Q_OBJECT
public:
    explicit StretchedPicture(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace vrx
