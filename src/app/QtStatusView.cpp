#include "app/QtStatusView.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "app/ProgressBarWidget.h"
#include "app/StatusWindowWidget.h"
#include "progress/MonotonicPause.h"
#include "progress/StatusWindow.h"

namespace vrx {

namespace {

int FrameIntervalMs() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double rate = screen != nullptr && screen->refreshRate() > 1.0 ? screen->refreshRate() : 60.0;
    return std::max(1, static_cast<int>(std::lround(1000.0 / rate)));
}

}  // namespace

QtStatusView::QtStatusView() : widget_(new StatusWindowWidget()) {
    frameTimer_.setSingleShot(true);
    frameTimer_.setInterval(FrameIntervalMs());
    QObject::connect(&frameTimer_, &QTimer::timeout, [this] {
        if (barDirty_) flushBar();
    });
}

QtStatusView::~QtStatusView() {
    // Gone already when its owner was destroyed first.
    delete widget_.data();
}

void QtStatusView::setOwner(QWidget& owner) {
    widget_->setOwner(&owner);
}

void QtStatusView::attach(StatusWindow& status) {
    QObject::connect(widget_.data(), &StatusWindowWidget::closeRequested, [&status] { status.RequestClose(); });
}

void QtStatusView::setColours(Colour formBackColor, Colour textForeColor) {
    widget_->applyColours(formBackColor, textForeColor);
}

void QtStatusView::show() {
    widget_->show();
    widget_->raise();
}

void QtStatusView::hide() {
    widget_->hide();
}

void QtStatusView::setActionText(const std::string& text) {
    widget_->actionLabel().setText(QString::fromStdString(text));
}

void QtStatusView::showBar(const ProgressBarModel& bar) {
    pending_ = bar;
    barDirty_ = true;
    // One repaint per frame: the first report of a frame paints, later ones wait for the timer.
    if (!frameTimer_.isActive()) flushBar();
}

void QtStatusView::flushBar() {
    barDirty_ = false;
    widget_->bar().setModel(pending_);
    frameTimer_.start();
}

void QtStatusView::processEvents() {
    QCoreApplication::processEvents();
}

void QtStatusView::beep() {
    QApplication::beep();
}

void QtStatusView::pauseWithoutEvents(std::chrono::milliseconds duration) {
    // The completion text and the final bar must be on screen for the pause.
    if (barDirty_) flushBar();
    widget_->repaint();
    PauseOnMonotonicClock(duration);
}

}  // namespace vrx
