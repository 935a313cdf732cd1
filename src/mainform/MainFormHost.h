#pragma once
// What the start-up sequence asks of the main window. The Qt main window
// implements it; tests may record the calls.

#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "ui/InterfaceColours.h"

namespace vrx {

class MainFormHost {
public:
    virtual ~MainFormHost() = default;
    // Rescales the window's size, fonts and controls for the display.
    virtual void ApplySmallFontFix() = 0;
    // Empties the hover help line lblInfo.
    virtual void ClearInfo() = 0;
    // Loads the bitmap at path into the named picture control; false when it cannot.
    virtual bool LoadPicture(const std::string& control, const std::string& path) = 0;
    // Paints the window, the panel, the labels and the list with colours.
    virtual void ApplyColours(const InterfaceColours& colours) = 0;
    // Takes the catalogue's areas and adds their names to the area list, in order.
    virtual void FillAreas(const std::vector<SceneryArea>& areas, const std::vector<std::string>& names) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // Focuses the first area and runs the area selection update.
    virtual void SelectFirstArea() = 0;
    virtual int AreaCount() const = 0;
    virtual void CheckArea(int item) = 0;
};

}  // namespace vrx
