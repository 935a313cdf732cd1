#pragma once

#include <string>

namespace vrx {

// The folder of the running executable, without a trailing "/" (except "/").
std::string ExecutableFolder();

}  // namespace vrx
