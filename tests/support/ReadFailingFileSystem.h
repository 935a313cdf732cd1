#pragma once
// The real file system, except that reading one chosen file fails part-way:
// the lines before the failure arrive and the read reports itself incomplete,
// as a disk error in the middle of the file would leave it.

#include <string>
#include <utility>

#include "support/ForwardingFileSystem.h"

namespace vrx::test {

class ReadFailingFileSystem final : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;

    // Reading path fails within its line number lineNumber (1-based): the lines before it arrive.
    void FailReadWithinLine(std::string path, std::size_t lineNumber) {
        failingPath_ = std::move(path);
        failingLine_ = lineNumber;
    }

    std::optional<TextLines> readTextLines(const std::string& path) override {
        auto text = real_.readTextLines(path);
        if (!text || path != failingPath_) return text;
        if (text->lines.size() >= failingLine_) text->lines.resize(failingLine_ - 1);
        text->complete = false;
        return text;
    }

private:
    std::string failingPath_;
    std::size_t failingLine_ = 0;
};

}  // namespace vrx::test
