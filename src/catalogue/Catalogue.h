#pragma once
// The catalogue (vrx.cfg): the scenery areas and the simulator folders that
// backups protect. Loading either gives the whole catalogue or the exact
// message to show before the program ends.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vrx {

class FileSystem;

struct SceneryArea {
    std::string Name;
    std::string SourceFolder;  // below the AppFolder, "\" turned into "/"
    std::string Description;   // "\n" of the file turned into CR LF
    std::string PreviewImage;
    std::string Exclusions;
    std::string TargetFolder;  // below the simulator folder, "\" turned into "/"
};

using BackupFolderList = std::array<std::string, 10>;

struct Catalogue {
    std::vector<SceneryArea> areas;   // record i belongs to list row i
    std::vector<std::string> names;   // the rows of the area list
    BackupFolderList backupSourceFolders;
};

struct CatalogueLoadResult {
    std::optional<Catalogue> catalogue;     // set when the whole file was read
    std::string fatalMessage;               // otherwise the message to show before ending
};

inline constexpr const char* kCatalogueMissing =
    "Verdantis configuration file (verdantis.cfg) is missing. Please reinstall Verdantis.";
inline constexpr const char* kCatalogueCorrupted =
    "Verdantis configuration file (verdantis.cfg) is corrupted. Please reinstall Verdantis.";

// Reads catalogueFile; areas' source folders are tested below appFolder.
CatalogueLoadResult LoadCatalogue(FileSystem& fs, const std::string& appFolder, const std::string& catalogueFile);

// AppFolder + "/vrx.cfg", separators collapsed.
std::string CatalogueFilePathFor(const std::string& appFolder);

}  // namespace vrx
