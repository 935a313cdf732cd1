#pragma once
// HKEY_LOCAL_MACHINE on Linux: our own writes go to a small text store in the
// user's configuration folder; reads look there first, then (read-only) in
// the Wine prefix's system.reg. Nothing ever writes into a Wine prefix.

#include <string>

#include "platform/Registry.h"

namespace vrx {

class FileSystem;

struct RegistryLocations {
    std::string storeFile;   // our own store, e.g. ~/.config/verdantis/registry.reg
    std::string winePrefix;  // the prefix whose system.reg and dosdevices are read
};

// From the environment: XDG_CONFIG_HOME (else ~/.config) and WINEPREFIX (else ~/.wine).
RegistryLocations DefaultRegistryLocations();

class LinuxRegistry final : public Registry {
public:
    LinuxRegistry(RegistryLocations locations, FileSystem& fs);

    std::optional<std::string> readString(const std::string& keyPath, const std::string& valueName) override;
    int writeString(const std::string& keyPath, const std::string& valueName, const std::string& text) override;
    std::string toHostPath(const std::string& windowsPath) override;

private:
    RegistryLocations locations_;
    FileSystem& fs_;
};

}  // namespace vrx
