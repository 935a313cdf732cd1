#pragma once
// What a copy carries over besides the data and the modification time: the
// permission bits, so that read-only passes on as on Windows, and
// user.DOSATTRIB, whose hidden bit a Wine name with a leading "." implies.

#include <sys/stat.h>

#include <optional>
#include <string>

#include "platform/linux/ListedFile.h"

namespace vrx {

// The permission bits a copy of a file with mode source gets: the source's,
// within the umask, except that read-only follows the source whatever the umask.
mode_t CopyMode(mode_t source);

// The user.DOSATTRIB of the open source in (described by st): what the
// listing learned of it while it is still that file, else read from it.
std::optional<std::string> SourceDosAttrib(int in, const struct stat& st, const ListedFile* listed);

// The user.DOSATTRIB the copy of from at to must carry: the source's own
// (sourceRaw), or what keeps its hidden bit when the two names read
// differently; nullopt for none.
std::optional<std::string> WantedDosAttrib(const std::optional<std::string>& sourceRaw, const std::string& from,
                                           const std::string& to);

// Gives the temporary file open at fd the wanted user.DOSATTRIB; carriesOne
// tells whether it has one now (a reused file may).
bool SetDosAttrib(int fd, const std::optional<std::string>& wanted, bool carriesOne);

}  // namespace vrx
