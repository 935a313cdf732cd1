#pragma once
// Where a download from the update page is saved: the user's download
// folder, under the name the server suggests, never over a file that is
// there already.

#include <functional>
#include <string>

namespace vrx {

// The file name to save a download under: the last component of suggested
// (a server cannot point outside the folder with "/" or ".."), "download"
// when nothing usable is left, and when a file of that name exists, the
// first free "name (n).ext" for n = 1, 2, ...
std::string FreeDownloadName(const std::string& suggested, const std::function<bool(const std::string&)>& exists);

// What the information window says once a download is saved.
std::string DownloadSavedText(const std::string& path);
// ... and when it failed.
std::string DownloadFailedText(const std::string& name);

}  // namespace vrx
