#include "app/StatusWindowWidget.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPalette>
#include <QScreen>

#include "app/FormBuilder.h"
#include "app/ProgressBarWidget.h"
#include "app/QtColour.h"
#include "app/WindowConventions.h"

namespace vrx {

namespace {

constexpr int kRaiseIntervalMs = 1000;

}  // namespace

StatusWindowWidget::StatusWindowWidget(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lblAction_(new QLabel(QStringLiteral("Label1"), this)),
      bar_(new ProgressBarWidget(this)),
      raiseTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("Status_Form"));
    setWindowTitle(QStringLiteral("Status"));
    lblAction_->setObjectName(QStringLiteral("lblAction"));
    lblAction_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    setAutoFillBackground(true);

    ApplyWindowConventions(*this, WindowRole::Frame);
    ApplySmallFontFix(*this, StatusFormLayout());
    bar_->setScreenPixelRatio(ScreenMetrics::Of(this).devicePixelRatio);

    raiseTimer_->setObjectName(QStringLiteral("Timer1"));
    raiseTimer_->setInterval(kRaiseIntervalMs);
    connect(raiseTimer_, &QTimer::timeout, this, &QWidget::raise);
}

void StatusWindowWidget::setOwner(QWidget* owner) {
    setParent(owner, windowFlags());
    ApplyWindowConventions(*this, WindowRole::Frame);
}

void StatusWindowWidget::applyColours(Colour formBackColor, Colour textForeColor) {
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, ToQColor(formBackColor));
    setPalette(windowPalette);
    QPalette labelPalette = lblAction_->palette();
    labelPalette.setColor(QPalette::WindowText, ToQColor(textForeColor));
    lblAction_->setPalette(labelPalette);
    bar_->SetBackColor(formBackColor);
    bar_->SetTextColor(textForeColor);
    bar_->SetNonScrollTextColor(textForeColor);
}

void StatusWindowWidget::closeEvent(QCloseEvent* event) {
    // The logic hides the window when the close goes ahead.
    event->ignore();
    emit closeRequested();
}

void StatusWindowWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    raiseTimer_->start();
}

void StatusWindowWidget::hideEvent(QHideEvent* event) {
    raiseTimer_->stop();
    QWidget::hideEvent(event);
}

}  // namespace vrx
