#include "platform/linux/LinuxRegistry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/PathText.h"
#include "platform/linux/AtomicWrite.h"
#include "platform/linux/CaseFold.h"
#include "platform/linux/CaseResolver.h"
#include "platform/linux/HomeFolder.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/RegularFileText.h"
#include "platform/linux/WineRegistryFile.h"

namespace vrx {

namespace {

constexpr std::string_view kSoftwarePrefix = "software\\";
constexpr std::string_view kWow64Software = "Software\\Wow6432Node\\";
// What RegSetValueEx reports when it cannot store a value (never 1, which
// means the key itself could not be opened or created).
constexpr int kErrorAccessDenied = 5;
constexpr int kErrorInvalidData = 13;
constexpr int kErrorDiskFull = 112;
constexpr int kErrorRegistryIoFailed = 1016;

int StoreError(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kErrorDiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return kErrorAccessDenied;
        default:
            return kErrorRegistryIoFailed;
    }
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The largest registry file read: Wine's system.reg of a well-used prefix
// holds some megabytes; anything far beyond is not a registry.
constexpr std::size_t kMaxRegistryFile = std::size_t{256} << 20;

// nullopt when the file is missing, unreadable, or no regular file of a
// registry's size (a pipe at its name would otherwise hang the start).
std::optional<RegistryFile> LoadRegistryFile(const std::string& path) {
    const std::optional<std::string> text = ReadRegularFileText(path, kMaxRegistryFile);
    if (!text) return std::nullopt;
    return ParseRegistryText(*text);
}

std::optional<std::string> ReadValue(const RegistryFile& file, const std::string& keyPath,
                                     const std::string& valueName) {
    const RegistryKey* key = file.findKey(keyPath);
    return key ? StringValue(*key, valueName) : std::nullopt;
}

// Creates folder and its missing parents, private to the user as configuration folders are.
bool CreateFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::string parent = ParentFolder(folder);
    if (parent != folder && !CreateFolders(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

RegistryLocations DefaultRegistryLocations() {
    RegistryLocations locations;
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = HomeFolder() + "/.config";  // relative ones are invalid
    locations.storeFile = config + "/verdantis/registry.reg";
    locations.winePrefix = Environment("WINEPREFIX");
    if (locations.winePrefix.empty()) locations.winePrefix = HomeFolder() + "/.wine";
    return locations;
}

LinuxRegistry::LinuxRegistry(RegistryLocations locations, FileSystem& fs) : locations_(std::move(locations)), fs_(fs) {}

std::optional<std::string> LinuxRegistry::readString(const std::string& keyPath, const std::string& valueName) {
    const std::string key = NormalizeKeyPath(keyPath);
    if (const auto store = LoadRegistryFile(locations_.storeFile)) {
        if (auto value = ReadValue(*store, key, valueName)) return value;
    }
    const auto system = LoadRegistryFile(locations_.winePrefix + "/system.reg");
    if (!system) return std::nullopt;
    // The simulator is a 32-bit program: in a 64-bit prefix its keys live in the 32-bit view.
    if (system->win64 && FoldCase(key).starts_with(kSoftwarePrefix)) {
        const std::string view32 = std::string(kWow64Software) + key.substr(kSoftwarePrefix.size());
        if (auto value = ReadValue(*system, view32, valueName)) return value;
    }
    return ReadValue(*system, key, valueName);
}

int LinuxRegistry::writeString(const std::string& keyPath, const std::string& valueName, const std::string& text) {
    const std::string key = NormalizeKeyPath(keyPath);
    if (key.empty()) return 1;
    struct stat old {};
    const bool existed = ::stat(locations_.storeFile.c_str(), &old) == 0;
    RegistryFile store;
    if (existed) {
        auto loaded = LoadRegistryFile(locations_.storeFile);
        if (!loaded) return 1;  // rewriting it would lose what it holds
        store = std::move(*loaded);
    }
    if (!SetStringValue(store.keyFor(key), valueName, text)) return kErrorInvalidData;
    if (!CreateFolders(ParentFolder(locations_.storeFile))) return 1;
    const std::string content = FormatRegistryText(store, static_cast<long long>(std::time(nullptr)));
    // Success is reported only for a value that reads back from what is written.
    const RegistryFile written = ParseRegistryText(content);
    const RegistryKey* writtenKey = written.findKey(key);
    if (!writtenKey || StringValue(*writtenKey, valueName) != text) return kErrorInvalidData;
    // A save killed mid-write leaves its temporary beside the store; nothing else would remove it.
    fs_.removeLeftoverTemporaries(ParentFolder(locations_.storeFile));
    if (!ReplaceFileAtomically(locations_.storeFile, content, existed ? &old : nullptr, {})) return StoreError(errno);
    return 0;
}

std::string LinuxRegistry::toHostPath(const std::string& windowsPath) {
    const bool drivePath =
        windowsPath.size() >= 2 && windowsPath[1] == ':' &&
        ((windowsPath[0] >= 'A' && windowsPath[0] <= 'Z') || (windowsPath[0] >= 'a' && windowsPath[0] <= 'z'));
    if (!drivePath) return DataPath(windowsPath);

    const char letter = static_cast<char>(windowsPath[0] | 0x20);
    const std::string drive = locations_.winePrefix + "/dosdevices/" + letter + ":";
    std::string rest = DataPath(std::string_view(windowsPath).substr(2));
    if (!rest.empty() && rest.front() != '/') rest.insert(0, "/");  // "C:dir" counts from the drive's root
    std::unique_ptr<char, decltype(&std::free)> real(realpath(drive.c_str(), nullptr), &std::free);
    std::string host = real ? std::string(real.get()) : drive;
    if (host.ends_with('/') && rest.starts_with('/')) host.pop_back();
    host += rest;
    if (auto* linuxFs = dynamic_cast<LinuxFileSystem*>(&fs_)) return linuxFs->resolve(host);
    return CaseResolver().resolve(host).path;
}

}  // namespace vrx
