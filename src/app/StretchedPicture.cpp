#include "app/StretchedPicture.h"

#include <QPainter>

#include "app/PictureDrawing.h"

namespace vrx {

void StretchedPicture::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void StretchedPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    DrawPicture(painter, rect(), picture_);
}

}  // namespace vrx
