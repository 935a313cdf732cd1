#pragma once
// The fonts the windows are laid out for, shipped in the folder "fonts"
// beside the program when it comes as a portable bundle, so that its texts
// fit whatever fonts the user's system has.

#include <QString>

namespace vrx {

// Adds every TrueType font file (*.ttf) in folder to the program's fonts and
// returns how many were added (0 when the folder does not exist, as in a
// build from source, which uses the system's fonts). When the system has no
// Arial of its own, Arial is then drawn with the metric-compatible Liberation
// Sans among them, whatever the system's font configuration maps Arial to.
// Call after the QApplication is made.
int AddBundledFonts(const QString& folder);

}  // namespace vrx
