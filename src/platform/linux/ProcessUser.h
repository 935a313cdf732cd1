#pragma once

namespace vrx {

// Whether this process runs with the root user's rights (effective user 0).
bool RunningAsRoot();

}  // namespace vrx
