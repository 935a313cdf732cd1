#pragma once
// The user's settings: one record for the run, persisted in settings.cfg
// through the shared EZ_CFG object, plus the two registry services.

#include <cstdint>
#include <string>

namespace vrx {

class EzCfg;
class Registry;

struct AppSettings {
    std::string fspath;             // simulator folder, no trailing separator
    std::string backuppath;         // backup folder
    std::int16_t readoverwrite = 0; // read-only fix: on only when exactly 1
    std::string norbackup;          // "" not made, "1" made, "2" declined for good
    std::string rebackup;           // "0" pending, "1" done, "2" declined for good, "" nothing pending
};

// AppFolder + "/settings.cfg", separators collapsed.
std::string SettingsFilePathFor(const std::string& appFolder);

// Fills settings from settingsFile through cfg (keys read in lower case;
// a non-empty "newbackup" makes rebackup "0").
void LoadSettings(AppSettings& settings, EzCfg& cfg, const std::string& settingsFile);

// Rebuilds cfg with the five keys and writes settingsFile; returns what
// WriteCFG returned (callers of the original ignore it).
bool SaveSettings(const AppSettings& settings, EzCfg& cfg, const std::string& settingsFile);

// The simulator's install folder from the registry as a host path, one
// trailing backslash removed; "" when it cannot be read.
std::string FindSimulatorFolder(Registry& registry);

// Stores text under HKEY_LOCAL_MACHINE\keyPath; 0 stored, 1 key failed, other store error.
int WriteRegistryString(Registry& registry, const std::string& keyPath, const std::string& valueName,
                        const std::string& text);

inline constexpr const char* kSimulatorKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
inline constexpr const char* kSimulatorValue = "SetupPath";
inline constexpr const char* kProgramKey = "SOFTWARE\\Quellmark\\VRX Norvane";
inline constexpr const char* kProgramValue = "Path";

}  // namespace vrx
