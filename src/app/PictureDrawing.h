#pragma once
// Pictures of the windows (banner, sidebar buttons, preview) drawn from their
// full-resolution source straight into the device's pixels with smooth
// scaling, so they stay clean on a 125% or 150% desktop instead of being
// stretched twice or sampled to the nearest pixel.

#include <QPixmap>
#include <QRect>

class QPainter;

namespace vrx {

// How many device pixels one of the painter's units covers (the device pixel ratio).
qreal DevicePixelsPerUnit(const QPainter& painter);

// source scaled smoothly to target's size in the painter's device pixels.
QPixmap ScaledForDevice(const QPixmap& source, const QSize& target, qreal devicePixelRatio);

// Draws source into target (in the painter's coordinates), scaled smoothly at
// the device pixel ratio of the painter's device.
void DrawPicture(QPainter& painter, const QRect& target, const QPixmap& source);

}  // namespace vrx
