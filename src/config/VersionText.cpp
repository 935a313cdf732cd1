#include "config/VersionText.h"

namespace vrx {

std::string VersionText(int major, int minor, int revision) {
    return std::to_string(major) + "." + std::to_string(minor) + std::to_string(revision);
}

std::string ProgramVersionText() {
    return VersionText(VRX_VERSION_MAJOR, VRX_VERSION_MINOR, VRX_VERSION_PATCH);
}

}  // namespace vrx
