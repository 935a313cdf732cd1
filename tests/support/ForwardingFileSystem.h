#pragma once
// The real file system, through which every call goes unchanged: a test's
// wrapper derives from it and changes what one call does.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace vrx::test {

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& real) : real_(real) {}

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
    DataFileAttributes attributesIfData(const std::string& path) override { return real_.attributesIfData(path); }
    CopyResult copyFile(const std::string& from, const std::string& to) override { return real_.copyFile(from, to); }
    CopyResult copyFileIfData(const std::string& from, const std::string& to) override {
        return real_.copyFileIfData(from, to);
    }
    void beginCopyRun() override { real_.beginCopyRun(); }
    void expectCopies(std::vector<ExpectedCopy> copies) override { real_.expectCopies(std::move(copies)); }
    void endCopyRun() override { real_.endCopyRun(); }
    void removeLeftoverTemporaries(const std::string& folder) override { real_.removeLeftoverTemporaries(folder); }
    bool createFolder(const std::string& path) override { return real_.createFolder(path); }
    std::optional<std::string> absolutePath(const std::string& path) override { return real_.absolutePath(path); }
    std::optional<TextLines> readTextLines(const std::string& path) override { return real_.readTextLines(path); }
    WriteResult writeTextFile(const std::string& path, const std::vector<std::string>& lines) override {
        return real_.writeTextFile(path, lines);
    }
    WriteResult appendTextLine(const std::string& path, const std::string& line) override {
        return real_.appendTextLine(path, line);
    }

protected:
    FileSystem& real_;
};

}  // namespace vrx::test
