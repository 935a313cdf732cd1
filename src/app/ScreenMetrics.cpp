#include "app/ScreenMetrics.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <cmath>

#include "scaling/SmallFontFix.h"

namespace vrx {

namespace {

double injectedRatio = 0;

}  // namespace

void ScreenMetrics::SetDevicePixelRatioForTesting(double ratio) {
    injectedRatio = ratio;
}

ScreenMetrics ScreenMetrics::Of(const QWidget* widget) {
    ScreenMetrics metrics;
    const QScreen* screen =
        widget != nullptr && widget->screen() != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    double ratio = injectedRatio;
    if (ratio <= 0) ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    if (!(ratio > 0)) ratio = 1.0;
    metrics.devicePixelRatio = ratio;
    if (screen != nullptr) {
        metrics.dpi = EffectiveDpi(static_cast<int>(std::lround(screen->logicalDotsPerInchX() * ratio)));
        const int dpiY = EffectiveDpi(static_cast<int>(std::lround(screen->logicalDotsPerInchY() * ratio)));
        metrics.twipsPerPixelY = 1440.0 / dpiY;
    }
    metrics.captionPixels =
        static_cast<int>(std::lround(QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight) * ratio));
    return metrics;
}

int ScreenMetrics::ToScreenPixels(double twips) const {
    return TwipsToPixels(twips, dpi);
}

int ScreenMetrics::ToWidgetPixels(double twips) const {
    return static_cast<int>(std::lround(twips * EffectiveDpi(dpi) / 1440.0 / devicePixelRatio));
}

}  // namespace vrx
