#pragma once

#include <string>

namespace vrx {

class FileSystem;

// True when a file exists at path and is longer than 0 bytes; never fails.
bool FileHasData(FileSystem& fs, const std::string& path);

}  // namespace vrx
