#pragma once
// Where the simulator may be registered or installed on this machine, in the
// order they are tried: registries to read its install folder from, and
// folders that may hold it directly.

#include <functional>
#include <string>

namespace vrx {

class Registry;

struct SimulatorPlace {
    Registry* registry = nullptr;  // read its install folder from here, or
    std::string folder;            // (registry null) take this folder
};

class SimulatorPlaces {
public:
    virtual ~SimulatorPlaces() = default;
    // Offers each place in order until visit returns true. A place is valid
    // only during its visit.
    virtual void Visit(const std::function<bool(const SimulatorPlace&)>& visit) = 0;
};

}  // namespace vrx
