#pragma once
// The preview picture box: the picture fitted inside it, keeping its aspect ratio, centred.

#include <QPixmap>
#include <QWidget>

namespace vrx {

class PreviewBox : public QWidget {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }
    // Where the picture is drawn, in the widget's coordinates.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace vrx
