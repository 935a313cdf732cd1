#include "LandscapeArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <random>

namespace sample {
namespace {

// The preview fills the main window's picture box (5430 x 4080 twips) at 96 DPI.
constexpr QSize kPreviewSize(362, 272);

class Dice {
public:
    explicit Dice(unsigned seed) : engine_(seed) {}
    int upTo(int limit) { return static_cast<int>(engine_() % static_cast<unsigned>(limit)); }
    QColor vary(const QColor& colour, int spread) {
        auto shift = [&](int v) { return std::clamp(v + upTo(2 * spread + 1) - spread, 0, 255); };
        return QColor(shift(colour.red()), shift(colour.green()), shift(colour.blue()));
    }

private:
    std::mt19937 engine_;
};

void PaintFields(QPainter& p, const QRect& area, const Landscape& look, Dice& dice) {
    const int cell = std::max(16, area.width() / 5);
    for (int y = area.top(); y < area.bottom(); y += cell) {
        for (int x = area.left(); x < area.right(); x += cell) {
            const QColor base = dice.upTo(100) < look.density ? look.ground : look.groundAlt;
            const QRect field(x, y, cell + dice.upTo(cell / 2), cell + dice.upTo(cell / 3));
            p.fillRect(field, dice.vary(base, 14));
            p.setPen(QPen(dice.vary(base.darker(115), 6), 1));
            for (int row = field.top() + 3; row < field.bottom(); row += 4)
                p.drawLine(field.left(), row, field.right(), row);
            p.setPen(QPen(look.accent, 2));
            p.drawRect(field);
        }
    }
}

void PaintCoast(QPainter& p, const QRect& area, const Landscape& look, Dice& dice) {
    p.fillRect(area, look.ground);
    QPainterPath shore;
    shore.moveTo(area.left(), area.top());
    const int reach = area.width() * look.density / 100;
    for (int y = area.top(); y <= area.bottom(); y += 8) {
        shore.lineTo(area.left() + reach + dice.upTo(12) - 6, y);
    }
    shore.lineTo(area.left(), area.bottom());
    shore.closeSubpath();
    p.setPen(QPen(look.groundAlt, 10));
    p.setBrush(look.accent);
    p.drawPath(shore);
    p.setPen(QPen(look.accent.lighter(130), 1));
    for (int i = 0; i < area.height() / 6; ++i) {
        const int y = area.top() + dice.upTo(area.height());
        const int x = area.left() + dice.upTo(std::max(1, reach - 20));
        p.drawLine(x, y, x + 6 + dice.upTo(8), y);
    }
    for (int i = 0; i < area.width() / 2; ++i) {
        const int x = area.left() + reach + 10 + dice.upTo(std::max(1, area.width() - reach - 10));
        p.fillRect(x, area.top() + dice.upTo(area.height()), 2, 2, dice.vary(look.ground, 20));
    }
}

void PaintForest(QPainter& p, const QRect& area, const Landscape& look, Dice& dice) {
    p.fillRect(area, look.groundAlt);
    for (int i = 0; i < area.width() / 3; ++i) {
        p.fillRect(area.left() + dice.upTo(area.width()), area.top() + dice.upTo(area.height()), 5, 5,
                   dice.vary(look.ground, 12));
    }
    p.setPen(Qt::NoPen);
    const int trees = area.width() * area.height() * look.density / 100 / 40;
    for (int i = 0; i < trees; ++i) {
        const int radius = 3 + dice.upTo(4);
        const QPoint centre(area.left() + dice.upTo(area.width()), area.top() + dice.upTo(area.height()));
        p.setBrush(look.accent.darker(160));
        p.drawEllipse(centre + QPoint(1, 2), radius, radius);
        p.setBrush(dice.vary(look.accent, 16));
        p.drawEllipse(centre, radius, radius);
    }
}

void PaintRiver(QPainter& p, const QRect& area, const Landscape& look, Dice& dice) {
    PaintFields(p, area, Landscape{Pattern::Fields, look.ground, look.groundAlt, look.ground.darker(130), 70}, dice);
    QPainterPath river;
    const double phase = dice.upTo(628) / 100.0;
    for (int y = area.top() - 4; y <= area.bottom() + 4; y += 4) {
        const double x = area.center().x() + area.width() * 0.25 * std::sin(phase + y * 6.28 / area.height());
        if (y == area.top() - 4)
            river.moveTo(x, y);
        else
            river.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.groundAlt.lighter(120), area.width() / 8 + 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(river);
    p.setPen(QPen(look.accent, area.width() / 8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(river);
    for (int i = 0; i < 3; ++i) {
        const QRect house(area.left() + dice.upTo(area.width() - 10), area.top() + dice.upTo(area.height() - 10), 6, 5);
        p.fillRect(house, QColor(168, 72, 52));
    }
}

void PaintGround(QPainter& p, const QRect& area, const Landscape& look, Dice& dice) {
    p.save();
    p.setClipRect(area);
    switch (look.pattern) {
        case Pattern::Fields:
            PaintFields(p, area, look, dice);
            break;
        case Pattern::Coast:
            PaintCoast(p, area, look, dice);
            break;
        case Pattern::Forest:
            PaintForest(p, area, look, dice);
            break;
        case Pattern::River:
            PaintRiver(p, area, look, dice);
            break;
    }
    p.restore();
}

QColor Worn(const QColor& colour) {
    const int grey = qGray(colour.rgb());
    return QColor((colour.red() + 2 * grey) / 3, (colour.green() + 2 * grey) / 3, (colour.blue() + 2 * grey) / 3);
}

}  // namespace

QImage PaintTexture(const Landscape& look, unsigned seed, bool worn, int size) {
    QImage image(size, size, QImage::Format_RGB32);
    Landscape used = look;
    if (worn) used = {look.pattern, Worn(look.ground), Worn(look.groundAlt), Worn(look.accent), look.density};
    QPainter p(&image);
    Dice dice(seed);
    PaintGround(p, image.rect(), used, dice);
    return image;
}

QImage PaintPreview(const Landscape& look, const QString& title, unsigned seed) {
    QImage image(kPreviewSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int horizon = image.height() * 2 / 5;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(88, 140, 196));
    sky.setColorAt(1, QColor(206, 224, 236));
    p.fillRect(0, 0, image.width(), horizon, sky);

    // The ground is painted flat and squeezed towards the horizon.
    Dice dice(seed);
    const QImage ground = PaintTexture(look, seed, false, image.width());
    p.drawImage(QRect(0, horizon, image.width(), image.height() - horizon), ground);
    QLinearGradient haze(0, horizon, 0, image.height());
    haze.setColorAt(0, QColor(206, 224, 236, 170));
    haze.setColorAt(0.5, QColor(206, 224, 236, 0));
    p.fillRect(0, horizon, image.width(), image.height() - horizon, haze);

    QPainterPath hills;
    hills.moveTo(0, horizon + 2);
    for (int x = 0; x <= image.width(); x += 24) hills.lineTo(x, horizon - 6 - dice.upTo(22));
    hills.lineTo(image.width(), horizon + 2);
    hills.closeSubpath();
    p.fillPath(hills, QColor(120, 146, 150));

    QFont font("Arial");
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    const QRect band(0, image.height() - 32, image.width(), 32);
    p.fillRect(band, QColor(20, 34, 26, 170));
    p.setPen(QColor(239, 232, 210));
    p.drawText(band.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
    return image;
}

}  // namespace sample
