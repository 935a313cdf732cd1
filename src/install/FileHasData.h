#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace vrx {

// True when a file exists at path and is longer than 0 bytes; never fails.
bool FileHasData(FileSystem& fs, const std::string& path);

// Whether a file at path holds data and its attribute bits then, in one look;
// never fails: anything that stops the look is a file without data.
DataFileAttributes AttributesIfData(FileSystem& fs, const std::string& path);

}  // namespace vrx
