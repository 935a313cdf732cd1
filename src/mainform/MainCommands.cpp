#include "mainform/MainCommands.h"

#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"

namespace vrx {

std::optional<std::string> SidebarHoverText(int index) {
    switch (index) {
        case 0:
            return "Verdantis Help and User Manual.";
        case 1:
            return "Backup Manager - Manage your texture backups.";
        case 2:
            return std::string("Check for the latest version from ") + kUpdateSiteAddress + ".";
        case 3:
            return "Verdantis Settings";
        case 4:
            return std::string("Visit ") + kWebSiteName + " on the internet!";
        default:
            return std::nullopt;
    }
}

std::string ManualPath(const std::string& appFolder) {
    return JoinCollapsed(appFolder, "VRX_Manual.pdf");
}

std::string ManualFailureMessage(const std::string& path) {
    return "Error opening PDF file. Please manually open " + path +
           ". A shortcut to the manual is in Start/Programs/Quellmark Software/Verdantis X Norvane.";
}

void OpenManual(Shell& shell, Prompts& prompts, const std::string& appFolder) {
    const std::string path = ManualPath(appFolder);
    if (!shell.open(path, ShowMode::Normal)) prompts.message(ManualFailureMessage(path));
}

void ViewLog(Shell& shell, const std::string& appFolder) {
    shell.open(JoinCollapsed(appFolder, "history.txt"), ShowMode::Normal);
}

void OpenWebSite(Shell& shell) {
    shell.open(kWebSiteAddress, ShowMode::Maximised);
}

}  // namespace vrx
