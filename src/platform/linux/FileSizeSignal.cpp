#include "platform/linux/FileSizeSignal.h"

#include <signal.h>

namespace vrx {

void IgnoreFileSizeSignal() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGXFSZ, &action, nullptr);
}

}  // namespace vrx
