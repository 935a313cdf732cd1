#pragma once

#include <string>

namespace vrx::bench {

// Starts the program afresh runs times on the sample add-on with the update
// server at a local HTTP server of this process, presses Updates, and prints
//   info-window: update page shown X s after pressing Updates (min-max) ...
// and the memory of the program with its browser processes (RSS and PSS
// summed over the process and every process under it) before opening, with
// the window open, and after it was closed. self is this benchmark's own
// executable, started with --info-child.
void BenchInformationWindow(const std::string& root, const std::string& self, int runs);

// The child's side: the program for appFolder; says "ready" once its main
// window is up, then on each line from the parent goes one step further:
// presses Updates and says "shown SECONDS" once the page has loaded, then
// closes the window with "Exit" and says "closed". Needs the browser's
// environment prepared before the QApplication was made.
int InformationChild(const std::string& appFolder);

}  // namespace vrx::bench
