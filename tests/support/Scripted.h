#pragma once
// Scripted stand-ins for the user's side of the program: answers to message
// boxes, a status window whose close box can be "clicked" at a chosen moment,
// and a fixed clock. Files are always real.

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "progress/StatusView.h"

namespace vrx {
class StatusWindow;
}

namespace vrx::test {

// One message box as the user saw it.
struct ShownPrompt {
    enum Kind { Message, YesNo, OkCancel } kind;
    std::string text;
    std::string title;
    bool answer = false;  // what the script answered (true for Message)
};

// Answers questions from a queue (Yes/OK = true); a question with no answer
// left fails the test. Records every box shown.
class ScriptedPrompts final : public Prompts {
public:
    ScriptedPrompts& answer(bool yes) {
        answers.push_back(yes);
        return *this;
    }
    void message(const std::string& text, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    bool askOkCancel(const std::string& text, const std::string& title) override;

    // Texts of every box shown, in order.
    std::vector<std::string> texts() const;

    std::deque<bool> answers;
    std::vector<ShownPrompt> shown;
};

// A status window stand-in: records what would be shown and runs onEvents at
// every pass of pending events, which is where a test "clicks" the close box.
class ScriptedStatusView final : public StatusView {
public:
    void show() override;
    void hide() override;
    void setActionText(const std::string& text) override;
    void showBar(const ProgressBarModel& bar) override;
    void processEvents() override;
    void beep() override { ++beeps; }
    void pauseWithoutEvents(std::chrono::milliseconds duration) override { pauses.push_back(duration); }

    // Called at every processEvents pass with the pass number (from 1).
    std::function<void(int)> onEvents;

    bool visible = false;
    int shows = 0;
    int eventPasses = 0;
    int beeps = 0;
    std::vector<std::chrono::milliseconds> pauses;
    std::vector<std::string> actionTexts;  // every lblAction text set
    std::vector<std::string> captions;     // every distinct caption shown under the bar
    std::vector<std::string> percents;     // the percentage after each redraw
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(std::tm when) : when_(when) {}
    std::tm localNow() override { return when_; }
    void set(std::tm when) { when_ = when; }

private:
    std::tm when_;
};

// Sets LC_ALL to "C" for its lifetime, so that timestamps take the form
// every machine can give (12/8/2026 9:02:01 PM).
class CLocale {
public:
    CLocale();
    ~CLocale();
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;

private:
    std::optional<std::string> saved_;
};

// A std::tm for the given local date and time.
std::tm MakeTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace vrx::test
