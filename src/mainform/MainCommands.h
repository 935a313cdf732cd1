#pragma once
// The main window's own commands and sidebar actions that are not windows:
// the manual, the log, the maker's web site, and the hover help texts.

#include <optional>
#include <string>

namespace vrx {

class Prompts;
class Shell;

inline constexpr const char* kWebSiteAddress = "https://www.quellmark.example/";
inline constexpr const char* kWebSiteName = "www.quellmark.example";
inline constexpr const char* kUpdateSiteAddress = "https://updates.quellmark.example/";

// The help line for sidebar button index; nullopt for the install button
// (and any other index), which leaves the line as it is.
std::optional<std::string> SidebarHoverText(int index);

// AppFolder + "/VRX_Manual.pdf", collapsed.
std::string ManualPath(const std::string& appFolder);
// The message naming path when the manual cannot be opened.
std::string ManualFailureMessage(const std::string& path);
// Opens the manual; on failure shows ManualFailureMessage.
void OpenManual(Shell& shell, Prompts& prompts, const std::string& appFolder);

// Opens AppFolder + "/history.txt"; a failure shows nothing.
void ViewLog(Shell& shell, const std::string& appFolder);

// Opens the maker's web site maximised; a failure shows nothing.
void OpenWebSite(Shell& shell);

}  // namespace vrx
