#pragma once
// Status_Form as logic: the open/closed state, the shared flags
// CancelRequested and ClosingByProgram, the bar, and FinishRun.
// Calls made while the window is closed change nothing.

#include <chrono>
#include <cstdint>
#include <string>

#include "progress/ProgressBarModel.h"

namespace vrx {

class Prompts;
class StatusView;

inline constexpr std::chrono::milliseconds kCompletionPause{1500};
inline constexpr const char* kCancelQuestion = "Are you sure you want to cancel this action?";

class StatusWindow {
public:
    StatusWindow(StatusView& view, Prompts& prompts);

    // Opens without blocking; when it was closed its load runs first, which
    // clears CancelRequested. When open it comes to the front.
    void Open();
    bool IsOpen() const { return open_; }

    // Sets lblAction (no effect while closed).
    void SetAction(const std::string& text);
    // ProgressBar1 methods (no effect while closed). Progress lets pending
    // events run when it completes its steps.
    void SetProgressCaption(const std::string& caption);
    void InitProgress(std::int32_t scaleSize, const std::string& scaleCaption, bool showPercent);
    void Progress(std::int32_t value, const std::string& caption);

    // The close request, from the program or from the close box: closes at
    // once when ClosingByProgram, otherwise asks and closes on Yes with
    // CancelRequested set. Nothing happens while closed.
    void RequestClose();

    // Lets pending user-interface events run.
    void ProcessEvents();

    // Completion text, empty caption, beep, one pass of events, the pause
    // without events, ClosingByProgram, close.
    void FinishRun(const std::string& completionText);

    bool CancelRequested() const { return cancelRequested_; }
    void SetCancelRequested(bool value) { cancelRequested_ = value; }
    bool ClosingByProgram() const { return closingByProgram_; }
    void SetClosingByProgram(bool value) { closingByProgram_ = value; }

    const ProgressBarModel& Bar() const { return bar_; }
    const std::string& ActionText() const { return action_; }

private:
    StatusView& view_;
    Prompts& prompts_;
    ProgressBarModel bar_;
    std::string action_ = "Label1";
    bool open_ = false;
    bool cancelRequested_ = false;
    bool closingByProgram_ = false;
};

}  // namespace vrx
