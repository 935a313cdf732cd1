#pragma once
// How the embedded browser (Qt WebEngine, which runs Chromium in helper
// processes) is started. Must run before the QApplication is made.

namespace vrx {

// Software rendering (no GPU is needed, so it runs on Xvfb and the offscreen
// platform), one OpenGL context shared as WebEngine requires, and Chromium's
// sandbox switched off only when the program runs as root, where Chromium
// refuses to start with it, or where the system forbids the namespaces it is
// made of (then saying so on the standard error). Settings the user made in
// the environment (QTWEBENGINE_CHROMIUM_FLAGS, QTWEBENGINE_DISABLE_SANDBOX,
// QT_QUICK_BACKEND) are kept.
void PrepareBrowserEnvironment();

}  // namespace vrx
