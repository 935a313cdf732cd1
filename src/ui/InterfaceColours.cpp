#include "ui/InterfaceColours.h"

#include "config/EzCfg.h"

namespace vrx {

InterfaceLook ReadInterfaceLook(const EzCfg& cfg) {
    InterfaceLook look;
    look.colours.ControlBackColor = ParseColour(cfg.GetValue("ControlBackColor"));
    look.colours.FormBackColor = ParseColour(cfg.GetValue("FormBackColor"));
    look.colours.TextForeColor = ParseColour(cfg.GetValue("TextForeColor"));
    look.colours.TextHighlightColor = ParseColour(cfg.GetValue("TextHighlightColor"));
    look.colours.ListTextColor = ParseColour(cfg.GetValue("ListTextColor"));
    look.VRXVersion = cfg.GetValue("VRXVersion");
    return look;
}

}  // namespace vrx
