#pragma once
// The settings window as its logic sees it: the two path fields, the check
// box, the four links' colours, and the two ways the window goes away.

#include <string>

#include "ui/InterfaceColours.h"

namespace vrx {

class SettingsView {
public:
    virtual ~SettingsView() = default;

    // Window background, labels, fields, check box and links (at rest and
    // under the mouse) in the main window's colours.
    virtual void ApplyColours(const InterfaceColours& colours) = 0;
    // lblPath: the simulator folder (not editable).
    virtual void ShowPath(const std::string& text) = 0;
    virtual std::string PathText() const = 0;
    // lblBackup: the backup folder (editable).
    virtual void ShowBackup(const std::string& text) = 0;
    virtual std::string BackupText() const = 0;
    // ChkAttrib.
    virtual void SetAttrib(bool ticked) = 0;
    virtual bool Attrib() const = 0;
    // lblSelect(index), 0 to 3, in TextHighlightColor (true) or TextForeColor.
    virtual void SetLinkHighlighted(int index, bool highlighted) = 0;
    // Closes the window the ordinary way, through its close request.
    virtual void CloseWindow() = 0;
    // Takes the window away at once, with no close request: the program ends.
    virtual void EndProgram() = 0;
};

}  // namespace vrx
