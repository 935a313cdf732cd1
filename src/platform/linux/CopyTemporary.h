#pragma once
// The temporary file a copy writes before it takes its target's place: a
// fresh one, named or unnamed (O_TMPFILE) until complete, or a replaced file
// reused (ReplacedFileReuse.h).

#include <sys/types.h>

#include <string>

namespace vrx {

struct CopyTemporary {
    int fd = -1;
    std::string path;  // empty for an unnamed file
    std::string folder;
    mode_t mode = 0;                // its permission bits as they are now
    bool carriesDosAttrib = false;  // whether it has a user.DOSATTRIB now
};

// A temporary just created at fd (path empty for an unnamed file) in folder with permission bits mode.
CopyTemporary FreshTemporary(int fd, std::string path, const std::string& folder, mode_t mode);

// Removes a temporary that will not be put in place.
void DropTemporary(CopyTemporary& temp);

}  // namespace vrx
