#pragma once
// BrowseForFolder: the folder dialog with its fixed prompt, opened on a
// start folder; the chosen folder's path, or "" when the user cancels.

#include <string>
#include <string_view>

namespace vrx {

class Dialogs;
class FileSystem;

inline constexpr const char* kBrowsePrompt = "Please select a folder...";

// The start folder as the dialog gets it: with one trailing "/" added when
// it is not empty and has none. The caller's text is not changed.
std::string BrowseStartFolder(std::string_view startFolder);

// The nearest folder at or above start that exists (a typed folder may not
// exist yet), with a trailing "/"; "" when none does or start is empty.
std::string ExistingStartFolder(FileSystem& fs, std::string_view startFolder);

// The confirmed path as the caller gets it: up to its first NUL, without
// trailing "/" (the root stays "/").
std::string BrowseResultPath(std::string_view chosen);

// Shows the folder dialog modally over the asking window, opened on startFolder.
std::string BrowseForFolder(Dialogs& dialogs, FileSystem& fs, const std::string& startFolder);

}  // namespace vrx
