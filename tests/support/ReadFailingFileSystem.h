#pragma once
// The real file system, except that reading one chosen file fails part-way:
// the lines before the failure arrive and the read reports itself incomplete,
// as a disk error in the middle of the file would leave it.

#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace vrx::test {

class ReadFailingFileSystem final : public FileSystem {
public:
    explicit ReadFailingFileSystem(FileSystem& real) : real_(real) {}

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

    std::optional<std::vector<std::string>> listOrdinaryFiles(const std::string& folder) override {
        return real_.listOrdinaryFiles(folder);
    }
    bool isOrdinaryFile(const std::string& path) override { return real_.isOrdinaryFile(path); }
    bool exists(const std::string& path) override { return real_.exists(path); }
    bool isFolder(const std::string& path) override { return real_.isFolder(path); }
    std::optional<std::uint64_t> fileLength(const std::string& path) override { return real_.fileLength(path); }
    std::optional<std::uint32_t> attributes(const std::string& path) override { return real_.attributes(path); }
    bool setAttributes(const std::string& path, std::uint32_t attributes) override {
        return real_.setAttributes(path, attributes);
    }
    CopyResult copyFile(const std::string& from, const std::string& to) override { return real_.copyFile(from, to); }
    void removeLeftoverTemporaries(const std::string& folder) override { real_.removeLeftoverTemporaries(folder); }
    void endCopyRun() override { real_.endCopyRun(); }
    bool createFolder(const std::string& path) override { return real_.createFolder(path); }
    WriteResult writeTextFile(const std::string& path, const std::vector<std::string>& lines) override {
        return real_.writeTextFile(path, lines);
    }
    WriteResult appendTextLine(const std::string& path, const std::string& line) override {
        return real_.appendTextLine(path, line);
    }

private:
    FileSystem& real_;
    std::string failingPath_;
    std::size_t failingLine_ = 0;
};

}  // namespace vrx::test
