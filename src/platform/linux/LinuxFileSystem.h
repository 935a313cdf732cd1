#pragma once
// The file system on Linux, seen as the Windows program expects it: letter
// case ignored on look-up, DOS attributes kept as Wine keeps them (write bits
// and the user.DOSATTRIB extended attribute), and copies that replace the
// target atomically.

#include <functional>
#include <memory>

#include "platform/FileSystem.h"

namespace vrx {

struct ListedFile;

class LinuxFileSystem final : public FileSystem {
public:
    LinuxFileSystem();
    ~LinuxFileSystem() override;

    std::optional<std::vector<std::string>> listOrdinaryFiles(const std::string& folder) override;
    bool isOrdinaryFile(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool isFolder(const std::string& path) override;
    std::optional<std::uint64_t> fileLength(const std::string& path) override;
    std::optional<std::uint32_t> attributes(const std::string& path) override;
    bool setAttributes(const std::string& path, std::uint32_t attributes) override;
    DataFileAttributes attributesIfData(const std::string& path) override;
    CopyResult copyFile(const std::string& from, const std::string& to) override;
    CopyResult copyFileIfData(const std::string& from, const std::string& to) override;
    void beginCopyRun() override;
    void expectCopies(std::vector<ExpectedCopy> copies) override;
    void endCopyRun() override;
    void removeLeftoverTemporaries(const std::string& folder) override;
    bool createFolder(const std::string& path) override;
    std::optional<std::string> absolutePath(const std::string& path) override;
    std::optional<TextLines> readTextLines(const std::string& path) override;
    WriteResult writeTextFile(const std::string& path, const std::vector<std::string>& lines) override;
    WriteResult appendTextLine(const std::string& path, const std::string& line) override;

    // The path as found on disk: the exact name first, then a case-insensitive
    // match per component; components not found keep the given spelling.
    std::string resolve(const std::string& path);

    // Test hook: called after a copy's temporary file is complete and before it
    // takes the target's place, so a test can interrupt the copy there.
    void setBeforeRenameHookForTesting(std::function<void()> hook);

    // Test hook: stands in for the kernel's exchange of two files in copies,
    // so a test can make it fail as file systems without it do.
    void setExchangeForTesting(std::function<int(const std::string&, const std::string&)> exchange);
    // Test hook: stands in for read(2) in the text reader, so a test can make a
    // read fail part-way through a file.
    void setReadForTesting(std::function<ssize_t(int fd, char* buffer, std::size_t size)> read);
    // Test hook: stands in for the kernel's creation of unnamed files (O_TMPFILE).
    void setOpenUnnamedForTesting(std::function<int(const std::string&, mode_t)> openUnnamed);

private:
    const ListedFile* listed(const std::string& path) const;

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vrx
