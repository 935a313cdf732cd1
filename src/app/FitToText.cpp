#include "app/FitToText.h"

#include <QWidget>
#include <algorithm>

#include "app/ScreenMetrics.h"

namespace vrx {

void WidenToFitText(QWidget& control, const QRect& designed) {
    const int needed = std::max(designed.width(), control.sizeHint().width());
    QRect area = designed;
    area.setWidth(needed);
    area.moveLeft(designed.center().x() - (needed - 1) / 2);
    if (const QWidget* parent = control.parentWidget()) {
        area.moveLeft(std::clamp(area.left(), 0, std::max(0, parent->width() - needed)));
    }
    control.setGeometry(area);
}

void WidenToFitText(QWidget& window, const FormLayout& form, std::initializer_list<const char*> names) {
    const ScreenMetrics screen = ScreenMetrics::Of(&window);
    for (const char* name : names) {
        auto* control = window.findChild<QWidget*>(QString::fromUtf8(name));
        if (control == nullptr) continue;
        const TwipRect& r = form.control(name).rect;
        WidenToFitText(*control, QRect(screen.ToWidgetPixels(r.left), screen.ToWidgetPixels(r.top),
                                       screen.ToWidgetPixels(r.width), screen.ToWidgetPixels(r.height)));
    }
}

}  // namespace vrx
