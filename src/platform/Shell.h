#pragma once
// The desktop's "open" action: a document or address handed to the program
// the desktop associates with it.

#include <string>

namespace vrx {

enum class ShowMode {
    Normal,
    Maximised,
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a local file or a web address; false when it could not be handed over.
    virtual bool open(const std::string& target, ShowMode mode) = 0;
};

}  // namespace vrx
