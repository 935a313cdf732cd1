#pragma once

#include <string>

namespace vrx {

// The user's home folder: $HOME, else the account's; "." when neither is known.
std::string HomeFolder();

}  // namespace vrx
