#pragma once
// The safeguard before the browser follows a link to a program file: any
// navigation (page, frame, redirect, download) whose address contains
// ".exe" in lower case, and any download saved under a name ending in
// ".exe", is confirmed first, with OK and Cancel.

#include <string>
#include <string_view>

namespace vrx {

inline constexpr const char* kExeWarning =
    "You have clicked on an update that may require that you close this application prior to installing it. Click "
    "OK to continue with the download, or Cancel to cancel.";

// Whether the address contains the four characters ".exe" anywhere (a
// query value included); ".EXE" and other spellings do not count.
bool AddressNeedsExeWarning(std::string_view address);

// Whether a file saved under this name is a program file: it ends in ".exe"
// in any letter case, as Windows and Wine run it.
bool FileNameNeedsExeWarning(std::string_view fileName);

// Remembers the last program-file address the user allowed, so that the
// download a confirmed navigation turns into is not asked about again,
// while a download that no navigation announced (a link with a "download"
// attribute, or a file the server names itself) still is.
class ExeConfirmations {
public:
    // A navigation to address is about to start; true when it needs the warning.
    bool navigationNeedsWarning(std::string_view address) const { return AddressNeedsExeWarning(address); }
    // The user answered OK for address.
    void allowed(std::string_view address) { allowed_ = address; }
    // A download of address is about to be saved as fileName; true when it
    // needs the warning: its address or its file name names a program file,
    // and it is not the address just allowed.
    bool downloadNeedsWarning(std::string_view address, std::string_view fileName) const;

private:
    std::string allowed_;
};

}  // namespace vrx
