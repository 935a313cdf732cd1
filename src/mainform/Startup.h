#pragma once
// The program's start-up, run before the main window is shown: scaling,
// pictures, colours, catalogue, the settings and backup check, caption,
// the registry entry and the first area, in that order.

#include <string>

#include "ui/InterfaceColours.h"

namespace vrx {

struct Session;
class MainFormHost;
class Registry;
class SettingsWindowHost;

struct StartupPaths {
    std::string settingsFile;   // AppFolder + "/settings.cfg", collapsed
    std::string catalogueFile;  // AppFolder + "/vrx.cfg", collapsed
    std::string mediaFolder;    // AppFolder + "/media/", collapsed; ends in "/"
};

StartupPaths StartupPathsFor(const std::string& appFolder);

// " (Interface Version " + versionText + ")" after the add-on's own title.
std::string MainCaption(const std::string& vrxVersion, const std::string& versionText);

// The message shown before the program ends for a start-up picture that cannot be loaded.
std::string MissingPictureMessage(const std::string& path);

struct StartupResult {
    bool showWindow = false;  // false: the program ends without showing the window
    InterfaceLook look;       // what ui.cfg gave
    StartupPaths paths;
};

// Runs every start-up step on session's AppFolder. Fatal messages are shown
// through session.prompts before it returns with showWindow false.
StartupResult RunStartup(Session& session, MainFormHost& form, SettingsWindowHost& settingsWindow, Registry& registry,
                         const std::string& versionText);

}  // namespace vrx
