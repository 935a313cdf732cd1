#include "app/ProgressBarWidget.h"

#include <QFont>
#include <QPainter>
#include <QPalette>
#include <cmath>

#include "app/QtColour.h"
#include "progress/ProgressBarModel.h"

namespace vrx {

namespace {

QRect ToQRect(const PixelRect& r) {
    return {r.left, r.top, r.width, r.height};
}

void DrawLine(QPainter& painter, const PixelLine& line, const QColor& colour) {
    painter.setPen(colour);
    painter.drawLine(line.x1, line.y1, line.x2, line.y2);
}

// The control's texts: Arial 9 pt at the design's 96 DPI, fixed in pixels
// like the rest of the control's layout.
QFont LabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    return font;
}

}  // namespace

ProgressBarWidget::ProgressBarWidget(QWidget* parent) : QWidget(parent), back_(palette().color(QPalette::Button)) {
    resize(372, 44);
    setFont(LabelFont());
}

void ProgressBarWidget::setModel(const ProgressBarModel& model) {
    fill_ = model.fillFraction();
    percent_ = QString::fromStdString(model.percentText());
    scrolled_ = QString::fromStdString(model.scrolledText());
    caption_ = QString::fromStdString(model.caption());
    update();
}

void ProgressBarWidget::setScreenPixelRatio(double ratio) {
    ratio_ = ratio > 0 ? ratio : 1.0;
    update();
}

ProgressBarLayout ProgressBarWidget::barLayout() const {
    return LayOutProgressBar(static_cast<int>(std::lround(width() * ratio_)));
}

QString ProgressBarWidget::shownCaption() const {
    return fontMetrics().elidedText(caption_, Qt::ElideMiddle, barLayout().caption.width);
}

void ProgressBarWidget::SetBackColor(Colour lngColor) {
    back_ = ToQColor(lngColor);
    update();
}
void ProgressBarWidget::SetScrollColor(Colour lngColor) {
    scroll_ = ToQColor(lngColor);
    update();
}
void ProgressBarWidget::SetShadowLineColor(Colour lngColor) {
    shadow_ = ToQColor(lngColor);
    update();
}
void ProgressBarWidget::SetHighlightLineColor(Colour lngColor) {
    highlight_ = ToQColor(lngColor);
    update();
}
void ProgressBarWidget::SetNonScrollTextColor(Colour lngColor) {
    nonScrollText_ = ToQColor(lngColor);
    update();
}
void ProgressBarWidget::SetScrolledTextColor(Colour lngColor) {
    scrolledText_ = ToQColor(lngColor);
    update();
}
void ProgressBarWidget::SetTextColor(Colour lngColor) {
    text_ = ToQColor(lngColor);
    update();
}

void ProgressBarWidget::paintEvent(QPaintEvent* /*event*/) {
    // Laid out afresh for the present width, so every resize is followed.
    const ProgressBarLayout layout = barLayout();
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    // From here on one unit is one screen pixel, the texts' 12 pixels included.
    painter.scale(1.0 / ratio_, 1.0 / ratio_);

    // The trough and the black percentage on it.
    const QRect trough = ToQRect(layout.trough);
    painter.fillRect(trough, back_);
    painter.save();
    painter.setClipRect(trough);
    painter.setPen(nonScrollText_);
    painter.drawText(ToQRect(layout.percentText), Qt::AlignHCenter | Qt::AlignTop, percent_);

    // The fill covers it, clipped to the trough, with the white percentage clipped to the fill.
    const QRect fill = ToQRect(FillRect(layout, fill_)).intersected(trough);
    if (!fill.isEmpty()) {
        painter.fillRect(fill, scroll_);
        painter.setClipRect(fill);
        painter.setPen(scrolledText_);
        painter.drawText(ToQRect(layout.scrolledText), Qt::AlignHCenter | Qt::AlignTop, scrolled_);
    }
    painter.restore();

    DrawLine(painter, layout.left, shadow_);
    DrawLine(painter, layout.top, shadow_);
    DrawLine(painter, layout.right, highlight_);
    DrawLine(painter, layout.bottom, highlight_);

    painter.setPen(text_);
    painter.drawText(ToQRect(layout.caption), Qt::AlignHCenter | Qt::AlignTop, shownCaption());
}

}  // namespace vrx
