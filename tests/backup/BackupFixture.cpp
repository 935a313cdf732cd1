#include "BackupFixture.h"

#include <gtest/gtest.h>

namespace vrx::test {

BackupFixture::BackupFixture() {
    MakeDirs(appFolder);
    MakeDirs(simFolder);
    MakeDirs(backupFolder);
    settings.fspath = simFolder;
    settings.backuppath = backupFolder;
}

void BackupFixture::WriteList(std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    WriteFile(appFolder + "/backup.lst", bytes);
}

void BackupFixture::SetSlots(std::initializer_list<std::string> slots) {
    session.backupSourceFolders = {};
    std::size_t k = 0;
    for (const std::string& slot : slots) session.backupSourceFolders[k++] = slot;
}

std::vector<std::string> BackupFixture::HistoryLines() const {
    std::vector<std::string> lines;
    const std::string path = appFolder + "/history.txt";
    if (!PathExists(path)) return lines;
    const std::string text = ReadFile(path);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "history ends without CR LF";
    return lines;
}

std::string BackupFixture::ExpectedHistoryLine(const std::string& tail) {
    return "12/8/2026 9:02:01 PM - Backup Action 1.08" + tail;
}

bool BackupFixture::FailureShown() const {
    // Spelled out here so that a changed text in the program is caught.
    const std::string failure =
        "Error copying backup files (not all files were copied)! You may want to try the Read-Only fix in the "
        "Settings screen, or make sure the backup folder specified in the Settings screen exists.";
    return !prompts.shown.empty() && prompts.shown.back().text == failure && prompts.shown.back().title == "Verdantis";
}

void BackupFixture::SetAttributes(const std::string& path, std::uint32_t attributes) {
    ASSERT_TRUE(fs.setAttributes(path, attributes)) << path;
    ASSERT_EQ(fs.attributes(path), attributes) << path;
}

}  // namespace vrx::test
