#include "app/WindowConventions.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace vrx {

namespace {

constexpr const char* kRoleProperty = "vrxWindowRole";

// Widgets that carry the role property are exposed with that role; every
// other object is left to Qt's own interfaces.
QAccessibleInterface* RoleFactory(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // A green tile with a pale sky, a darker ridge of hills and a white V.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
    painter.setClipPath(tile);
    painter.fillRect(QRectF(0, 0, s, s), QColor(0x2E, 0x7D, 0x32));
    painter.fillRect(QRectF(0, 0, s, s * 0.42), QColor(0xA5, 0xD6, 0xF0));
    QPainterPath hills;
    hills.moveTo(0, s * 0.55);
    hills.cubicTo(s * 0.25, s * 0.30, s * 0.45, s * 0.62, s * 0.70, s * 0.40);
    hills.cubicTo(s * 0.82, s * 0.30, s * 0.92, s * 0.38, s, s * 0.45);
    hills.lineTo(s, s);
    hills.lineTo(0, s);
    hills.closeSubpath();
    painter.fillPath(hills, QColor(0x1B, 0x5E, 0x20));
    painter.setClipping(false);
    QPen pen(Qt::white, qMax(1.5, s * 0.11), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.drawPolyline(
        QPolygonF({QPointF(s * 0.28, s * 0.30), QPointF(s * 0.5, s * 0.78), QPointF(s * 0.72, s * 0.30)}));
    painter.setPen(QPen(QColor(0x10, 0x40, 0x14), qMax(1.0, s / 32)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tile);
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    static const QIcon icon = [] {
        QIcon drawn;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) drawn.addPixmap(DrawIcon(size));
        return drawn;
    }();
    return icon;
}

namespace {

void InstallRoleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(RoleFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

void SetAccessibleRole(QWidget& control, QAccessible::Role role) {
    InstallRoleFactory();
    control.setProperty(kRoleProperty, static_cast<int>(role));
}

void ApplyWindowConventions(QWidget& window, WindowRole role) {
    InstallRoleFactory();

    if (window.parentWidget() != nullptr) {
        // Kept on its owner: Qt makes a dialog-type window (not a plain
        // Qt::Window) transient for its parent, so it stays above it and has
        // no task-bar entry of its own. Fixed in size, so only a close box.
        window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint);
    }
    window.setWindowIcon(ProgramIcon());
    window.setProperty(kRoleProperty,
                       static_cast<int>(role == WindowRole::Dialog ? QAccessible::Dialog : QAccessible::Window));
}

}  // namespace vrx
