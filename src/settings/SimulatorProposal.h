#pragma once
// The simulator folder the settings window proposes when none is set.

#include <string>

namespace vrx {

class FileSystem;
class SimulatorPlaces;

// Tries the places in order: the first folder that holds FSX.EXE (in any
// letter case) wins. Without one, the first folder a registry names (what
// the registry alone proposed before); "" when there is none.
std::string ProposeSimulatorFolder(SimulatorPlaces& places, FileSystem& fs);

}  // namespace vrx
