#include "app/PictureDrawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace vrx {

QPixmap ScaledForDevice(const QPixmap& source, const QSize& target, qreal devicePixelRatio) {
    const QSize pixels(static_cast<int>(std::lround(target.width() * devicePixelRatio)),
                       static_cast<int>(std::lround(target.height() * devicePixelRatio)));
    if (source.isNull() || pixels.isEmpty()) return {};
    QPixmap scaled =
        source.size() == pixels ? source : source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(devicePixelRatio);
    return scaled;
}

void DrawPicture(QPainter& painter, const QRect& target, const QPixmap& source) {
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap scaled = ScaledForDevice(source, target.size(), ratio);
    if (scaled.isNull()) return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, scaled);
    painter.restore();
}

}  // namespace vrx
