#pragma once
// The program's message boxes: modal, no icon, titled as the logic says.
// The only place that builds a QMessageBox.

#include "platform/Prompts.h"

namespace vrx {

class QtPrompts final : public Prompts {
public:
    void message(const std::string& text, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    bool askOkCancel(const std::string& text, const std::string& title) override;
};

}  // namespace vrx
