#include "app/PreviewBox.h"

#include <QPainter>

#include "app/PictureDrawing.h"

namespace vrx {

void PreviewBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

QRect PreviewBox::pictureRect() const {
    if (picture_.isNull()) return {};
    const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    QRect area(QPoint(0, 0), fitted);
    area.moveCenter(rect().center());
    return area;
}

void PreviewBox::paintEvent(QPaintEvent* /*event*/) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    DrawPicture(painter, pictureRect(), picture_);
}

}  // namespace vrx
