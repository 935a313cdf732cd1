#include "install/FileHasData.h"

#include "platform/FileSystem.h"

namespace vrx {

bool FileHasData(FileSystem& fs, const std::string& path) {
    // Callers only want a yes or no; anything that stops the length from being read is a no.
    try {
        const auto length = fs.fileLength(path);
        return length.has_value() && *length > 0;
    } catch (...) {
        return false;
    }
}

DataFileAttributes AttributesIfData(FileSystem& fs, const std::string& path) {
    try {
        return fs.attributesIfData(path);
    } catch (...) {
        return {};
    }
}

}  // namespace vrx
