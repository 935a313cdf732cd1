#pragma once
// How the starter of the portable bundle tells the user that the program
// cannot start. It runs before any library of the bundle is loaded, so it
// has no windows of its own.

#include <string>

namespace vrx {

// Writes "verdantis: " + message to the standard error. When that is not a
// terminal (the program was started from a desktop's file manager or menu)
// and a display is there, the message is also shown in a window by the
// first of the desktops' own message programs found on the PATH (zenity,
// kdialog, xmessage), and this waits until the user closes it.
void ReportStartProblem(const std::string& message);

}  // namespace vrx
