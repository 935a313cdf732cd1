#pragma once
// The user's side of a benchmark run, shared by both benchmark programs: no
// message box may appear, the status window is either drawn nothing (the
// engine alone) or the real Qt window, and neither waits out the completion
// pause, which is the same fixed 1.5 s for both and would only hide the
// difference being measured.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "install/InstallCommand.h"
#include "platform/Prompts.h"
#include "progress/StatusView.h"

namespace vrx::bench {

// Any message box during a benchmark means something failed.
class FailOnPrompt final : public Prompts {
public:
    void message(const std::string& text, const std::string&) override { fail(text); }
    bool askYesNo(const std::string& text, const std::string&) override { return fail(text); }
    bool askOkCancel(const std::string& text, const std::string&) override { return fail(text); }

private:
    static bool fail(const std::string& text) {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        std::exit(1);
    }
};

class SilentStatusView final : public StatusView {
public:
    void show() override {}
    void hide() override {}
    void setActionText(const std::string&) override {}
    void showBar(const ProgressBarModel&) override {}
    void processEvents() override {}
    void beep() override {}
    void pauseWithoutEvents(std::chrono::milliseconds) override {}
};

// A real status view with everything passed on but the completion pause.
class WithoutPause final : public StatusView {
public:
    explicit WithoutPause(StatusView& view) : view_(view) {}
    void show() override {
        ++shows;
        view_.show();
    }
    void hide() override { view_.hide(); }
    void setActionText(const std::string& text) override { view_.setActionText(text); }
    void showBar(const ProgressBarModel& bar) override { view_.showBar(bar); }
    void processEvents() override { view_.processEvents(); }
    void beep() override {}
    void pauseWithoutEvents(std::chrono::milliseconds) override {}

    int shows = 0;

private:
    StatusView& view_;
};

class OneCheckedRow final : public AreaChecks {
public:
    int RowCount() const override { return 1; }
    bool IsChecked(int) const override { return true; }
    std::string RowText(int) const override { return "Bench"; }
};

}  // namespace vrx::bench
