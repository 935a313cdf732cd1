#pragma once
// The real file system, except that every copy into one chosen folder fails,
// as into a folder that cannot be written (a read-only mount, a full disk):
// whatever runs as root, nothing lands there.

#include <string>
#include <utility>

#include "support/ForwardingFileSystem.h"

namespace vrx::test {

class CopyFailingFileSystem final : public ForwardingFileSystem {
public:
    CopyFailingFileSystem(FileSystem& real, std::string folder)
        : ForwardingFileSystem(real), folder_(std::move(folder) + "/") {}

    CopyResult copyFile(const std::string& from, const std::string& to) override {
        if (Into(to)) return {false, "the folder cannot be written"};
        return real_.copyFile(from, to);
    }
    CopyResult copyFileIfData(const std::string& from, const std::string& to) override {
        // A copy with nothing to copy writes nothing, and succeeds anywhere.
        if (Into(to) && real_.fileLength(from).value_or(0) > 0) return {false, "the folder cannot be written"};
        return real_.copyFileIfData(from, to);
    }
    // Nothing reaches the folder, so nothing is prepared there ahead either.
    void expectCopies(std::vector<ExpectedCopy>) override {}

private:
    bool Into(const std::string& path) const { return path.compare(0, folder_.size(), folder_) == 0; }

    std::string folder_;
};

}  // namespace vrx::test
