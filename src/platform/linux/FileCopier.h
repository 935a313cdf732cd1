#pragma once
// The replacing file copy with the semantics of a Windows file copy, made
// atomic: the data goes into a hidden temporary file in the target's folder,
// which is renamed over the target only once it is complete.

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace vrx {

class CaseResolver;

class FileCopier {
public:
    explicit FileCopier(CaseResolver& resolver) : resolver_(resolver) {}

    // Copies from over to (both resolved without regard to case); beforeRename
    // runs when the temporary file is complete, just before the rename.
    CopyResult copy(const std::string& from, const std::string& to, const std::function<void()>& beforeRename);

private:
    // Copies all data of in (described by source) to out; false with errno set on failure.
    bool copyData(int in, int out, const struct stat& source, const std::string& targetFolder);
    bool copyByReadWrite(int in, int out);

    CaseResolver& resolver_;
    std::vector<char> buffer_;
    // Where a fast path failed as unsupported, so that it is not tried again for every file.
    struct Unsupported {
        dev_t sourceDevice = 0;
        std::string targetFolder;
        bool known = false;
        bool matches(dev_t device, const std::string& folder) const {
            return known && sourceDevice == device && targetFolder == folder;
        }
    };
    Unsupported noClone_;
    Unsupported noCopyRange_;
};

}  // namespace vrx
