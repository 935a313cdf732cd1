#pragma once

#include <string>

namespace vrx::bench {

// Times, over runs, the program started afresh on a 200-area catalogue from
// process start until its main window is shown, and prints
//   startup-200: main window shown X s after process start (min-max) ...
// self is this benchmark's own executable, started with --startup-child.
void BenchStartup(const std::string& root, const std::string& self, int runs);

// The child's side: runs the program's start-up for appFolder, says "shown"
// on its output once the main window is on screen. Needs a QApplication.
int StartupChild(const std::string& appFolder);

}  // namespace vrx::bench
