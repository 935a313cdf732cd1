#pragma once
// Copies a file's data the fastest way its file systems allow: a clone
// (FICLONE), else copy_file_range, else read and write through a buffer. A way
// that fails as unsupported is not tried again between the same source file
// system and target folder.

#include <sys/stat.h>

#include <string>
#include <vector>

namespace vrx {

// Whether error is how a file system or kernel says it lacks what was asked for.
bool IsUnsupported(int error);

// One per thread: it holds that thread's buffer and what it learned fails.
class DataCopier {
public:
    // Copies all data of in (described by source) to out; false with errno set on failure.
    bool copy(int in, int out, const struct stat& source, const std::string& targetFolder);

private:
    // Where a way failed as unsupported.
    struct Unsupported {
        dev_t sourceDevice = 0;
        std::string targetFolder;
        bool known = false;
        bool matches(dev_t device, const std::string& folder) const {
            return known && sourceDevice == device && targetFolder == folder;
        }
    };

    bool copyByReadWrite(int in, int out);

    std::vector<char> buffer_;
    Unsupported noClone_;
    Unsupported noCopyRange_;
};

}  // namespace vrx
