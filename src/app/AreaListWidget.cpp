#include "app/AreaListWidget.h"

namespace vrx {

AreaListWidget::AreaListWidget(QWidget* parent) : QListWidget(parent) {
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void AreaListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    emit mouseReleased();
}

}  // namespace vrx
