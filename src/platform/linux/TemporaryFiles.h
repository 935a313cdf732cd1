#pragma once
// The temporary files that replacing writes use: hidden (leading ".") and
// recognisably ours, created in the target's own folder so that the final
// rename never crosses file systems. Names are drawn from one shared random
// state: temporaries are named by one thread at a time.

#include <sys/types.h>

#include <string>
#include <string_view>

namespace vrx {

struct TemporaryFile {
    int fd = -1;       // open for writing; -1 when it could not be created
    std::string path;  // where it was created
    int error = 0;     // errno of the failure
};

// Creates a new temporary file in folder with the given permission bits (the umask applies).
TemporaryFile CreateTemporaryIn(const std::string& folder, mode_t mode);

// Gives the unnamed file open at fd (O_TMPFILE) the name path, through
// /proc/self/fd, which needs no privilege (linkat's AT_EMPTY_PATH does);
// false with errno set, also when path exists.
bool LinkUnnamed(int fd, const std::string& path);

// Whether unnamed files can be given a name at all: /proc/self/fd is there.
bool ProcessFdsAreLinkable();

// Gives the unnamed file open at fd (O_TMPFILE) a new temporary name in
// folder; the path, or empty with errno set when it cannot.
std::string LinkTemporaryIn(int fd, const std::string& folder);

// True for names CreateTemporaryIn makes (".vrx-copy-XXXXXX.tmp").
bool IsOurTemporaryName(std::string_view name);

}  // namespace vrx
