#pragma once
// The status window as the logic's StatusView: it owns the Qt window, hands
// close-box clicks to StatusWindow, and repaints the bar at most once per
// screen frame however often the logic reports, while pending events (and so
// the close box) are still handled at every report.

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include "app/StatusWindowWidget.h"
#include "progress/ProgressBarModel.h"
#include "progress/StatusView.h"
#include "ui/Colour.h"

namespace vrx {

class StatusWindow;

class QtStatusView final : public StatusView {
public:
    QtStatusView();
    ~QtStatusView() override;

    // Close-box clicks become status.RequestClose().
    void attach(StatusWindow& status);
    // The colours the window takes from the main window.
    void setColours(Colour formBackColor, Colour textForeColor);

    // The status window becomes owner's: kept on it, no task-bar entry of its
    // own. The owner may then destroy it with itself.
    void setOwner(QWidget& owner);

    StatusWindowWidget& widget() { return *widget_; }

    void show() override;
    void hide() override;
    void setActionText(const std::string& text) override;
    void showBar(const ProgressBarModel& bar) override;
    void processEvents() override;
    void beep() override;
    void pauseWithoutEvents(std::chrono::milliseconds duration) override;

private:
    void flushBar();

    QPointer<StatusWindowWidget> widget_;
    ProgressBarModel pending_;
    bool barDirty_ = false;
    QTimer frameTimer_;
};

}  // namespace vrx
