#pragma once

#include <string>

namespace vrx {

// The folder of the running executable, without a trailing "/" (except "/").
std::string ExecutableFolder();

// The folder that holds folder ("/a/b" gives "/a", "/a" gives "/"); folder
// is absolute, without a trailing "/", as ExecutableFolder gives it.
std::string FolderAbove(const std::string& folder);

}  // namespace vrx
