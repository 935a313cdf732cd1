#include "app/ScreenMetrics.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <cmath>

#include "scaling/SmallFontFix.h"

namespace vrx {

ScreenMetrics ScreenMetrics::Of(const QWidget* widget) {
    ScreenMetrics metrics;
    const QScreen* screen =
        widget != nullptr && widget->screen() != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        metrics.dpi = EffectiveDpi(static_cast<int>(std::lround(screen->logicalDotsPerInchX())));
        const int dpiY = EffectiveDpi(static_cast<int>(std::lround(screen->logicalDotsPerInchY())));
        metrics.twipsPerPixelY = 1440.0 / dpiY;
    }
    metrics.captionPixels = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return metrics;
}

}  // namespace vrx
