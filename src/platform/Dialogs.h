#pragma once
// The system's folder and file dialogs as the logic asks for them. The app
// shows Qt's dialogs; tests answer from a script. Paths are UTF-8 with "/".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrx {

struct FolderDialogRequest {
    std::string prompt;       // the text shown above the folders
    std::string startFolder;  // the folder shown selected first; "" = the dialog's own choice
};

// One entry of a file dialog's filter list.
struct FileFilter {
    std::string description;            // what the list shows
    std::vector<std::string> patterns;  // wildcards such as "*.exe", matched without regard to case
};

struct FileDialogRequest {
    enum class Kind { Open, Save } kind = Kind::Open;
    std::vector<FileFilter> filters;
    int filterIndex = 1;      // 1-based entry of filters shown first
    std::string title;        // "" = the dialog's default caption
    std::string initDir;      // "" = the dialog's own choice
    std::string defaultExt;   // appended to a typed name without an extension
    std::string fileName;     // the name the dialog starts with
    std::uint32_t flags = 0;  // the caller's option bits
    bool multiSelect = false;
    bool owned = false;  // modal to the window that asks; false = no owner
};

struct FileDialogAnswer {
    std::vector<std::string> files;  // full paths, in the order chosen; never empty
    int filterIndex = 1;             // the filter the user last chose
};

// A folder the dialogs offer in their side panel, under a name of its own.
struct DialogPlace {
    std::string folder;
    std::string label;  // what the panel shows, e.g. "Wine: .wine"
    bool operator==(const DialogPlace&) const = default;
};

// What the dialogs offer beside a request: the side panel's places, and the
// folder an open dialog starts in when the request names neither a folder
// nor a file with its folder ("" = the dialog's own choice).
struct DialogPlaces {
    std::vector<DialogPlace> places;
    std::string openStartFolder;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows the folder dialog modally over the asking window; the chosen
    // folder's path, or nullopt when cancelled.
    virtual std::optional<std::string> chooseFolder(const FolderDialogRequest& request) = 0;
    // Shows the open or save dialog; nullopt when cancelled or when it failed to open.
    virtual std::optional<FileDialogAnswer> chooseFile(const FileDialogRequest& request) = 0;
};

}  // namespace vrx
