#pragma once
// A folder a run of copies reads from or writes into, held open while the run
// stays in it, so that each copy names its files by their own names relative
// to it (openat, fstatat, renameat2) instead of walking the whole path again
// for every look: on a path a few folders deep, that walk costs a third of
// each look. The folder is the one its path named when the run first came to
// it, found without regard to case; a run goes on in it even if it is moved
// meanwhile. The copier lets go of it with its kept temporary (release).

#include <string>
#include <string_view>

#include "platform/linux/CaseResolver.h"

namespace vrx {

class FolderHandle {
public:
    FolderHandle() = default;
    ~FolderHandle() { close(); }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // Holds the folder the copies name given (resolved without regard to
    // case), unless it holds it already; false, holding none, when it cannot
    // be opened: the copies then name their files by whole paths.
    bool hold(std::string_view given, CaseResolver& resolver);
    // Lets go of the folder held, if any.
    void close();

    int fd() const { return fd_; }
    // The folder held, as found on disk.
    const std::string& path() const { return path_; }

private:
    std::string given_;
    std::string path_;
    int fd_ = -1;
};

// The folder part and the name of a path to a file, as views into it; an
// empty folder when the path has no folder part or ends in a separator, as
// such paths are named whole.
struct PathParts {
    std::string_view folder;
    std::string_view name;
};
PathParts SplitPath(std::string_view path);

}  // namespace vrx
