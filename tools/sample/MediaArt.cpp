#include "MediaArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace sample {
namespace {

// Window sizes in twips divided by 15, the twips per pixel at 96 DPI.
constexpr QSize kSidebarSize(65, 65);
constexpr QSize kInstallSize(160, 43);
constexpr QSize kBannerSize(716, 100);

const QColor kDeepGreen(34, 56, 44);
const QColor kGreen(62, 98, 76);
const QColor kCream(239, 232, 210);
const QColor kAmber(242, 185, 75);

QFont ArialPixels(int pixels, bool bold) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void PaintGlyph(QPainter& p, Glyph glyph, const QRectF& box) {
    p.setPen(QPen(kAmber, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF c = box.center();
    const double r = box.height() / 2 - 2;
    switch (glyph) {
        case Glyph::Help:
            p.drawEllipse(c, r, r);
            p.setFont(ArialPixels(static_cast<int>(r * 1.5), true));
            p.setPen(kCream);
            p.drawText(box, Qt::AlignCenter, "?");
            break;
        case Glyph::Backups:
            // Two stacked boxes, the back one a copy of the front one.
            p.drawRect(QRectF(c.x() - r + 4, c.y() - r, 2 * r - 6, 2 * r - 6));
            p.setBrush(kGreen);
            p.drawRect(QRectF(c.x() - r, c.y() - r + 5, 2 * r - 6, 2 * r - 6));
            break;
        case Glyph::Updates: {
            p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 30 * 16, 300 * 16);
            QPainterPath head;
            const QPointF tip(c.x() + r * std::cos(0.52), c.y() - r * std::sin(0.52));
            head.moveTo(tip + QPointF(-7, -3));
            head.lineTo(tip);
            head.lineTo(tip + QPointF(1, -8));
            p.drawPath(head);
            break;
        }
        case Glyph::Settings:
            for (int i = 0; i < 8; ++i) {
                const double a = i * std::numbers::pi / 4;
                p.drawLine(c + QPointF(r * 0.55 * std::cos(a), r * 0.55 * std::sin(a)),
                           c + QPointF(r * std::cos(a), r * std::sin(a)));
            }
            p.drawEllipse(c, r * 0.55, r * 0.55);
            p.drawEllipse(c, r * 0.2, r * 0.2);
            break;
        case Glyph::WebSite:
            p.drawEllipse(c, r, r);
            p.drawEllipse(c, r * 0.45, r);
            p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
            break;
    }
}

QImage Blank(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kDeepGreen);
    return image;
}

}  // namespace

QImage PaintSidebarButton(Glyph glyph, const QString& label) {
    QImage image = Blank(kSidebarSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, image.height());
    face.setColorAt(0, kGreen.lighter(120));
    face.setColorAt(1, kDeepGreen);
    p.setPen(QPen(kAmber.darker(130), 1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, image.width() - 1, image.height() - 1), 7, 7);
    PaintGlyph(p, glyph, QRectF(image.width() / 2.0 - 16, 7, 32, 32));
    p.setPen(kCream);
    p.setFont(ArialPixels(11, true));
    p.drawText(QRect(0, 44, image.width(), 16), Qt::AlignCenter, label);
    return image;
}

QImage PaintInstallButton() {
    QImage image = Blank(kInstallSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, image.height());
    face.setColorAt(0, kAmber.lighter(115));
    face.setColorAt(1, kAmber.darker(125));
    p.setPen(QPen(kCream, 1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, image.width() - 1, image.height() - 1), 9, 9);
    p.setPen(kDeepGreen);
    p.setFont(ArialPixels(20, true));
    p.drawText(image.rect(), Qt::AlignCenter, "Install");
    return image;
}

QImage PaintBanner() {
    QImage image = Blank(kBannerSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, image.width(), image.height());
    sky.setColorAt(0, QColor(40, 70, 60));
    sky.setColorAt(1, QColor(120, 150, 120));
    p.fillRect(image.rect(), sky);

    // Three ranges of hills, lighter towards the back.
    const QColor ranges[] = {QColor(150, 176, 146), QColor(92, 128, 96), QColor(46, 80, 58)};
    for (int range = 0; range < 3; ++range) {
        QPainterPath hills;
        hills.moveTo(0, image.height());
        for (int x = 0; x <= image.width(); x += 6) {
            const double y =
                74 + range * 9 + 9 * std::sin(x / (60.0 + range * 25) + range * 1.7) + 5 * std::sin(x / 17.0 + range);
            hills.lineTo(x, y);
        }
        hills.lineTo(image.width(), image.height());
        hills.closeSubpath();
        p.fillPath(hills, ranges[range]);
    }

    p.setPen(kCream);
    p.setFont(ArialPixels(36, true));
    p.drawText(QRect(24, 8, image.width() - 48, 46), Qt::AlignLeft | Qt::AlignVCenter, "Verdantis X Norvane");
    p.setPen(kAmber);
    p.setFont(ArialPixels(14, false));
    p.drawText(QRect(26, 50, image.width() - 48, 20), Qt::AlignLeft | Qt::AlignVCenter,
               "Ground textures for FSX  -  sample add-on");
    return image;
}

}  // namespace sample
