#pragma once
// Modal message boxes without an icon. The logic passes the exact texts;
// the app shows them with Qt, tests answer them from a script.

#include <string>

namespace vrx {

inline constexpr const char* kAppTitle = "Verdantis";

class Prompts {
public:
    virtual ~Prompts() = default;
    // A message with one OK button; returns when it is dismissed.
    virtual void message(const std::string& text, const std::string& title = kAppTitle) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title = kAppTitle) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool askOkCancel(const std::string& text, const std::string& title = kAppTitle) = 0;
};

}  // namespace vrx
