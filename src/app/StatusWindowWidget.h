#pragma once
// Status_Form: the modeless window titled "Status" with the action line and
// the progress bar. It has no buttons; its close box asks the logic, which
// decides whether the window goes away.

#include <QTimer>
#include <QWidget>

#include "ui/Colour.h"

class QLabel;

namespace vrx {

class ProgressBarWidget;

class StatusWindowWidget : public QWidget {
    Q_OBJECT
public:
    explicit StatusWindowWidget(QWidget* parent = nullptr);

    // The window's background, the action line and the bar's back and text
    // colours from the main window's colours; the bar keeps its fill colours.
    void applyColours(Colour formBackColor, Colour textForeColor);

    // Makes the window owner's (kept on it, no task-bar entry of its own).
    void setOwner(QWidget* owner);

    QLabel& actionLabel() { return *lblAction_; }
    ProgressBarWidget& bar() { return *bar_; }

signals:
    // The close box was clicked (or the window manager asked it to close).
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* lblAction_;
    ProgressBarWidget* bar_;
    QTimer* raiseTimer_;
};

}  // namespace vrx
