#pragma once
// The program's version as the user sees it: major "." minor revision,
// with no separator between minor and revision (1.0.8 gives 1.08).

#include <string>

namespace vrx {

std::string VersionText(int major, int minor, int revision);

// VersionText of the version set in CMake.
std::string ProgramVersionText();

}  // namespace vrx
