#pragma once
// The reuse of replaced files. Creating an inode for every copy and freeing
// the replaced one costs more than the copy itself on ext4, so the file an
// exchange takes out of the target's place stays under the temporary name and
// becomes the temporary file of the next copy into that folder. Only a plain
// file with no other name, owned by us, without other programs' attributes, is
// ever reused, as it is when that copy opens it; anything else that ends up
// under the temporary name is unlinked untouched.

#include <sys/stat.h>

#include <string>

#include "platform/linux/CopyTemporary.h"

namespace vrx {

// The replaced file left under a temporary name by the last exchange. It is
// examined only when the next copy into its folder takes it, through the
// descriptor that copy writes to: everything that may have happened to it
// since the exchange is seen then.
struct KeptFile {
    std::string path;
    std::string folder;
    dev_t device = 0;
    ino_t inode = 0;  // the target's file as it was examined before the exchange
    bool present = false;
};

// Whether the file described by st may become our next temporary file: a
// plain file with no other name, which we own, so that writing it changes
// nothing anyone else can see.
bool MayReuse(const struct stat& st);

// Opens the kept file into temp (its names move there), emptied, when it is still the file
// exchanged, a plain file with no other name, ours, without other programs'
// attributes; false (temp untouched) otherwise. folderFd, when not -1, is
// kept.folder held open.
bool ReopenKept(KeptFile& kept, int folderFd, CopyTemporary& temp);

}  // namespace vrx
