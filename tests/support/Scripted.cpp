#include "support/Scripted.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "progress/ProgressBarModel.h"

namespace vrx::test {

void ScriptedPrompts::message(const std::string& text, const std::string& title) {
    shown.push_back({ShownPrompt::Message, text, title, true});
}

bool ScriptedPrompts::askYesNo(const std::string& text, const std::string& title) {
    bool yes = false;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
    } else {
        yes = answers.front();
        answers.pop_front();
    }
    shown.push_back({ShownPrompt::YesNo, text, title, yes});
    return yes;
}

bool ScriptedPrompts::askOkCancel(const std::string& text, const std::string& title) {
    bool ok = false;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
    } else {
        ok = answers.front();
        answers.pop_front();
    }
    shown.push_back({ShownPrompt::OkCancel, text, title, ok});
    return ok;
}

std::vector<std::string> ScriptedPrompts::texts() const {
    std::vector<std::string> result;
    for (const auto& p : shown) result.push_back(p.text);
    return result;
}

void ScriptedStatusView::show() {
    visible = true;
    ++shows;
}

void ScriptedStatusView::hide() { visible = false; }

void ScriptedStatusView::setActionText(const std::string& text) { actionTexts.push_back(text); }

void ScriptedStatusView::showBar(const ProgressBarModel& bar) {
    if (captions.empty() || captions.back() != bar.caption()) captions.push_back(bar.caption());
    percents.push_back(bar.percentText());
}

void ScriptedStatusView::processEvents() {
    ++eventPasses;
    if (onEvents) onEvents(eventPasses);
}

CLocale::CLocale() {
    if (const char* old = std::getenv("LC_ALL")) saved_ = old;
    setenv("LC_ALL", "C", 1);
}

CLocale::~CLocale() {
    if (saved_) {
        setenv("LC_ALL", saved_->c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

std::tm MakeTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    mktime(&t);  // fills the weekday
    return t;
}

}  // namespace vrx::test
