#pragma once
// The places the file and folder dialogs offer, from what the simulator
// search knows (LinuxSimulatorPlaces.h): Wine prefixes live in hidden folders
// (~/.wine, ~/.steam, ~/.local/share/...) that a user browsing from the home
// folder does not see.

#include "platform/Dialogs.h"
#include "platform/linux/LinuxSimulatorPlaces.h"

namespace vrx {

// In the search's order, each existing folder once (a link to one is the same):
//   - the Wine prefix's drive_c, named "Wine: " + the prefix's folder name;
//   - for each Steam library: the drive_c of each of its Proton prefixes that
//     holds a Microsoft Games folder (Steam makes one prefix per game; the
//     others hold other games), named "Proton: " + the game's id; then the
//     library's steamapps/common, named "Steam: " + the library's folder name;
//   - each launcher's prefix's drive_c, named launcher + ": " + its folder name.
// The open dialog starts in the first prefix's (same order, every Proton
// prefix included) drive_c/Program Files (x86)/Microsoft Games, or else its
// drive_c/Program Files/Microsoft Games; without one, in the first place
// listed; without any, in home.
DialogPlaces SimulatorDialogPlaces(const SimulatorSearchLocations& locations);

}  // namespace vrx
