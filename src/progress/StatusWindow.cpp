#include "progress/StatusWindow.h"

#include "platform/Prompts.h"
#include "progress/StatusView.h"

namespace vrx {

StatusWindow::StatusWindow(StatusView& view, Prompts& prompts) : view_(view), prompts_(prompts) {}

void StatusWindow::Open() {
    if (!open_) {
        // A fresh window forgets the cancel of an earlier action.
        cancelRequested_ = false;
        open_ = true;
    }
    view_.show();
}

void StatusWindow::SetAction(const std::string& text) {
    if (!open_) return;
    action_ = text;
    view_.setActionText(text);
}

void StatusWindow::SetProgressCaption(const std::string& caption) {
    if (!open_) return;
    bar_.SetProgressCaption(caption);
    view_.showBar(bar_);
}

void StatusWindow::InitProgress(std::int32_t scaleSize, const std::string& scaleCaption, bool showPercent) {
    if (!open_) return;
    bar_.InitProgress(scaleSize, scaleCaption, showPercent);
    view_.showBar(bar_);
}

void StatusWindow::Progress(std::int32_t value, const std::string& caption) {
    if (!open_) return;
    const bool reachedEvents = bar_.Progress(value, caption);
    view_.showBar(bar_);
    // Running actions are cancelled from here: the close box is handled while events run.
    if (reachedEvents) view_.processEvents();
}

void StatusWindow::RequestClose() {
    if (!open_) return;
    if (!closingByProgram_) {
        if (!prompts_.askYesNo(kCancelQuestion)) return;
        cancelRequested_ = true;
    }
    open_ = false;
    view_.hide();
}

void StatusWindow::ProcessEvents() {
    view_.processEvents();
}

void StatusWindow::FinishRun(const std::string& completionText) {
    SetAction(completionText);
    SetProgressCaption("");
    view_.beep();
    // One pass so the completion text is painted before the pause freezes the window.
    ProcessEvents();
    view_.pauseWithoutEvents(kCompletionPause);
    closingByProgram_ = true;
    RequestClose();
}

}  // namespace vrx
