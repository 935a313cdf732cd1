#include "mainform/Startup.h"

#include <array>
#include <utility>

#include "backup/StartupCheck.h"
#include "catalogue/Catalogue.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "mainform/MainFormHost.h"
#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "session/Session.h"

namespace vrx {

namespace {

// The window's pictures, joined to the AppFolder without collapsing.
constexpr std::array<std::pair<const char*, const char*>, 7> kPictures{{
    {"Sidebar0", "/Media/help.bmp"},
    {"Sidebar1", "/Media/backups.bmp"},
    {"Sidebar2", "/Media/updates.bmp"},
    {"Sidebar3", "/Media/settings.bmp"},
    {"Sidebar4", "/Media/quellmark.bmp"},
    {"Sidebar5", "/Media/install.bmp"},
    {"Banner", "/Media/banner.bmp"},
}};

}  // namespace

StartupPaths StartupPathsFor(const std::string& appFolder) {
    return {SettingsFilePathFor(appFolder), CatalogueFilePathFor(appFolder), JoinCollapsed(appFolder, "media/")};
}

std::string MainCaption(const std::string& vrxVersion, const std::string& versionText) {
    return vrxVersion + " (Interface Version " + versionText + ")";
}

std::string MissingPictureMessage(const std::string& path) {
    return "The picture file " + path + " could not be loaded. Please reinstall Verdantis.";
}

StartupResult RunStartup(Session& session, MainFormHost& form, SettingsWindowHost& settingsWindow, Registry& registry,
                         const std::string& versionText) {
    StartupResult result;
    form.ApplySmallFontFix();
    form.ClearInfo();
    result.paths = StartupPathsFor(session.appFolder);
    session.settingsFilePath = result.paths.settingsFile;

    for (const auto& [control, tail] : kPictures) {
        const std::string path = session.appFolder + tail;
        if (!form.LoadPicture(control, path)) {
            session.prompts.message(MissingPictureMessage(path));
            return result;
        }
    }

    session.sharedCfg.ReadCFG(session.appFolder + "/ui.cfg");
    result.look = ReadInterfaceLook(session.sharedCfg);
    form.ApplyColours(result.look.colours);
    session.sharedCfg.InitCFG();

    CatalogueLoadResult loaded = LoadCatalogue(session.fs, session.appFolder, result.paths.catalogueFile);
    if (!loaded.catalogue) {
        session.prompts.message(loaded.fatalMessage);
        return result;
    }
    form.FillAreas(loaded.catalogue->areas, loaded.catalogue->names);
    session.backupSourceFolders = loaded.catalogue->backupSourceFolders;

    if (CheckSettingsAndBackups(session, settingsWindow) == StartupOutcome::EndProgram) return result;

    form.SetCaption(MainCaption(result.look.VRXVersion, versionText));
    WriteRegistryString(registry, kProgramKey, kProgramValue, session.appFolder);
    form.SelectFirstArea();
    if (form.AreaCount() == 1) form.CheckArea(0);
    result.showWindow = true;
    return result;
}

}  // namespace vrx
