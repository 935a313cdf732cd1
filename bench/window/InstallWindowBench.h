#pragma once

#include <cstddef>
#include <string>

namespace vrx::bench {

// Installs count files of size bytes over older ones, once with the real Qt
// status window and once with a status view that draws nothing, alternating
// which goes first, and prints
//   install-window: ours X s, engine alone Y s, ratio R
// with the medians, then the spread over the rounds. Needs a QApplication.
void BenchInstallWindow(const std::string& root, std::size_t count, std::size_t size, int rounds);

}  // namespace vrx::bench
