#pragma once
// Replacing a whole file so that readers see the old content or the new,
// never a mixture: write a temporary file in the same folder, then rename it.

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>

namespace vrx {

// Replaces (or creates) the file at path with bytes. A replaced file keeps
// its permissions, owner and user.DOSATTRIB. The data reaches the disk before
// the rename. beforeRename runs just before the rename. On failure nothing
// changes at path and the temporary file is removed.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, const struct stat* old,
                           const std::function<void()>& beforeRename);

}  // namespace vrx
