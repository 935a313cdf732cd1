#pragma once
// What the status window logic needs from the window toolkit. The Qt status
// window implements it; tests use a scripted stand-in.

#include <chrono>
#include <string>

namespace vrx {

class ProgressBarModel;

class StatusView {
public:
    virtual ~StatusView() = default;
    // Shows the window without blocking, or brings it to the front when shown.
    virtual void show() = 0;
    // Removes the window from the screen.
    virtual void hide() = 0;
    // lblAction's text.
    virtual void setActionText(const std::string& text) = 0;
    // Redraws the bar from the model.
    virtual void showBar(const ProgressBarModel& bar) = 0;
    // Lets pending user-interface events run; a close-box click arrives here
    // as StatusWindow::RequestClose().
    virtual void processEvents() = 0;
    // The platform's default beep.
    virtual void beep() = 0;
    // Waits without handling any event, measured on a monotonic clock.
    virtual void pauseWithoutEvents(std::chrono::milliseconds duration) = 0;
};

}  // namespace vrx
