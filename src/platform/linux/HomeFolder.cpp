#include "platform/linux/HomeFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vrx {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* user = getpwuid(geteuid()); user && user->pw_dir) return user->pw_dir;
    return ".";
}

}  // namespace vrx
