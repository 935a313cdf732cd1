#pragma once
// backup.lst as the engine reads it: a count line, then one relative file
// name per line, then a closing line that is read and never used.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

class FileSystem;

// The count line as a 32-bit integer: optional spaces, an optional sign,
// decimal digits, optional spaces; nullopt for anything else or overflow.
std::optional<std::int32_t> ParseListCount(std::string_view line);

class BackupList {
public:
    // Reads the list at path; nullopt when it cannot be opened, is empty, or
    // its count line is not a number.
    static std::optional<BackupList> Read(FileSystem& fs, const std::string& path);

    // The number N on the first line.
    std::int32_t Count() const { return count_; }

    // Line lineNumber (1-based, from 2) as an entry path with "\" turned into
    // "/"; nullopt when the list, or the part of it that could be read, ends before.
    std::optional<std::string> Entry(std::int64_t lineNumber) const;

private:
    std::int32_t count_ = 0;
    std::vector<std::string> lines_;  // every line read, the count line first
};

// True when name ends with suffix, ASCII letters compared without regard to
// case (suffix given in lower case), as Windows matches "*.vrb".
bool EndsWithIgnoringCase(std::string_view name, std::string_view suffix);

}  // namespace vrx
