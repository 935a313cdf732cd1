#include "config/AppSettings.h"

#include "config/EzCfg.h"
#include "config/NumberText.h"
#include "platform/PathText.h"
#include "platform/Registry.h"

namespace vrx {

std::string SettingsFilePathFor(const std::string& appFolder) {
    return JoinCollapsed(appFolder, "settings.cfg");
}

void LoadSettings(AppSettings& settings, EzCfg& cfg, const std::string& settingsFile) {
    cfg.ReadCFG(settingsFile);
    settings.fspath = cfg.GetValue("fspath");
    settings.backuppath = cfg.GetValue("backuppath");
    // A value beyond 16 bits stopped the original with an overflow; it now reads as off.
    settings.readoverwrite = RoundToInt16(ValNumber(cfg.GetValue("readoverwrite", true))).value_or(0);
    settings.norbackup = cfg.GetValue("norbackup");
    // A shipped "newbackup" asks for the incremental backup whatever was decided before.
    if (cfg.GetValue("newbackup").empty()) {
        settings.rebackup = cfg.GetValue("rebackup");
    } else {
        settings.rebackup = "0";
    }
}

bool SaveSettings(const AppSettings& settings, EzCfg& cfg, const std::string& settingsFile) {
    cfg.InitCFG();
    cfg.AddToCFG("FSPath", settings.fspath);
    cfg.AddToCFG("BackupPath", settings.backuppath);
    cfg.AddToCFG("ReadOverwrite", std::to_string(settings.readoverwrite));
    cfg.AddToCFG("norbackup", settings.norbackup);
    cfg.AddToCFG("rebackup", settings.rebackup);
    return cfg.WriteCFG(settingsFile);
}

std::string FindSimulatorFolder(Registry& registry) {
    auto text = registry.readString(kSimulatorKey, kSimulatorValue);
    if (!text || text->empty()) return "";
    if (text->back() == '\\') text->pop_back();
    return text->empty() ? "" : registry.toHostPath(*text);
}

int WriteRegistryString(Registry& registry, const std::string& keyPath, const std::string& valueName,
                        const std::string& text) {
    return registry.writeString(keyPath, valueName, text);
}

}  // namespace vrx
