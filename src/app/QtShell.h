#pragma once
// The desktop's "open" action through Qt's desktop services. Local files are
// looked up in any letter case first; a file that is not there fails at once.

#include <functional>
#include <string>

#include "platform/Shell.h"

namespace vrx {

class QtShell final : public Shell {
public:
    // resolve: the path as found on disk (letter case ignored).
    explicit QtShell(std::function<std::string(const std::string&)> resolve);
    bool open(const std::string& target, ShowMode mode) override;

private:
    std::function<std::string(const std::string&)> resolve_;
};

}  // namespace vrx
