#pragma once
// The five interface colours and the title text that ui.cfg gives the windows.

#include <string>

#include "ui/Colour.h"

namespace vrx {

class EzCfg;

struct InterfaceColours {
    Colour ControlBackColor = 0;
    Colour FormBackColor = 0;
    Colour TextForeColor = 0;
    Colour TextHighlightColor = 0;
    Colour ListTextColor = 0;
};

struct InterfaceLook {
    InterfaceColours colours;
    std::string VRXVersion;
};

// Reads the colours in their fixed order, each as text through ParseColour,
// then VRXVersion; absent keys give black and an empty version.
InterfaceLook ReadInterfaceLook(const EzCfg& cfg);

}  // namespace vrx
