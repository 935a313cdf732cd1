#include "app/PictureDrawing.h"

#include <QLineF>
#include <QPainter>
#include <cmath>

namespace vrx {

qreal DevicePixelsPerUnit(const QPainter& painter) {
    const qreal scale = painter.deviceTransform().map(QLineF(0, 0, 1, 0)).length();
    return scale > 0 ? scale : 1.0;
}

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
    // Device pixels per unit of the painter: the device pixel ratio, also
    // when the widget is rendered into another device (a picture of it).
    const qreal ratio = DevicePixelsPerUnit(painter);
    const QPixmap scaled = ScaledForDevice(source, target.size(), ratio);
    if (scaled.isNull()) return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, scaled);
    painter.restore();
}

}  // namespace vrx
