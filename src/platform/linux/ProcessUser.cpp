#include "platform/linux/ProcessUser.h"

#include <unistd.h>

namespace vrx {

bool RunningAsRoot() {
    return geteuid() == 0;
}

}  // namespace vrx
