#include "settings/SimulatorProposal.h"

#include "config/AppSettings.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SimulatorPlaces.h"

namespace vrx {

std::string ProposeSimulatorFolder(SimulatorPlaces& places, FileSystem& fs) {
    std::string found;
    std::string firstRegistered;
    places.Visit([&](const SimulatorPlace& place) {
        const std::string folder = place.registry != nullptr ? FindSimulatorFolder(*place.registry) : place.folder;
        if (folder.empty()) return false;
        if (fs.isOrdinaryFile(JoinPath(folder, "FSX.EXE"))) {
            found = folder;
            return true;
        }
        if (firstRegistered.empty() && place.registry != nullptr) firstRegistered = folder;
        return false;
    });
    return found.empty() ? firstRegistered : found;
}

}  // namespace vrx
