#include "app/AreaListWidget.h"

#include <QMouseEvent>

namespace vrx {

AreaListWidget::AreaListWidget(QWidget* parent) : QListWidget(parent) {
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void AreaListWidget::mousePressEvent(QMouseEvent* event) {
    held_ = true;
    QListWidget::mousePressEvent(event);
    // A press on an item's check box focuses that item too, as a press on its text does.
    if (QListWidgetItem* pressed = itemAt(event->position().toPoint())) {
        if (pressed != currentItem()) setCurrentItem(pressed);
    }
}

void AreaListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    held_ = false;
    emit mouseReleased();
}

}  // namespace vrx
