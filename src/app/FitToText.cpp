#include "app/FitToText.h"

#include <QWidget>
#include <algorithm>

namespace vrx {

void WidenToFitText(QWidget& control) {
    const int needed = control.sizeHint().width();
    QRect area = control.geometry();
    if (needed <= area.width()) return;
    const int centre = area.center().x();
    area.setWidth(needed);
    area.moveLeft(centre - needed / 2);
    if (const QWidget* parent = control.parentWidget()) {
        area.moveLeft(std::clamp(area.left(), 0, std::max(0, parent->width() - needed)));
    }
    control.setGeometry(area);
}

}  // namespace vrx
