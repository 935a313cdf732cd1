#pragma once
// What a listing of a copy's source folder learned of one file, so that the
// copy need not ask again: used only while the opened source is still that file.

#include <sys/types.h>

#include <optional>
#include <string>

namespace vrx {

struct ListedFile {
    dev_t device = 0;
    ino_t inode = 0;
    std::optional<std::string> dosAttrib;  // its user.DOSATTRIB, nullopt for none
};

}  // namespace vrx
