#pragma once

#include <string>

namespace vrx {

// The looks the simulator search takes at the folders it walks through.

// The path with every link and "." or ".." resolved, or the path as given
// when it cannot be resolved (it does not exist).
std::string RealPathOf(const std::string& path);

// Whether path is a folder, following links to it.
bool IsFolder(const std::string& path);

}  // namespace vrx
