#pragma once
// The folder copy engine: copies every ordinary file of one folder into
// another, one level, with progress, cancel and the read-only fix.

#include <string>

namespace vrx {

struct Session;

inline constexpr const char* kCopyingAction = "Copying Verdantis files...";
inline constexpr const char* kSourceMissing = "Source path does not exist.";
inline constexpr const char* kTargetFolderMissing =
    "There was an error detecting a required texture folder in Flight Simulator. It could be that an add-on "
    "product does not exist in Flight Simulator. Please check the selected Verdantis texture options and verify "
    "any installed add-ons.";
inline constexpr const char* kCopyFailed =
    "Error copying files (not all files were copied)! You may want to try the Read-Only fix in the Settings "
    "screen.";

// Outcome only through the session's flags: CancelRequested after a cancel,
// ClosingByProgram after the failure path, neither otherwise.
void CopyFolderFiles(Session& session, const std::string& fromFolder, const std::string& toFolder);

}  // namespace vrx
