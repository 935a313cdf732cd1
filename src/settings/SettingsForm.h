#pragma once
// The settings window's logic: what it shows when it opens, the links'
// hover colours, the two Select links, Cancel, Save with its checks, and
// the close request that ends the program while no settings file exists.
// The window (SettingsView) only forwards events and paints.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/InterfaceColours.h"

namespace vrx {

struct Session;
class CFileDialog;
class Dialogs;
class SettingsView;

inline constexpr const char* kSettingsCaption = "Verdantis Settings";
inline constexpr const char* kInvalidPathSpecified = "Invalid Path Specified!";
inline constexpr const char* kNoSettingsOnCancel =
    "There are no Verdantis X settings available. Please restart Verdantis and make sure you save the settings in "
    "the settings screen.";
// The shipped text spells "availble".
inline constexpr const char* kNoSettingsOnClose =
    "There are no Verdantis settings availble. Please restart Verdantis and make sure you save the settings in the "
    "settings screen.";
inline constexpr const char* kSimulatorFolderRefused =
    "The path to FSX in your settings configuration file is invalid! Please press the \"Select\" link in the top "
    "left to browse to FSX.";
inline constexpr const char* kBackupFolderRefused =
    "The path to your backup folder is invalid! Please press \"Select\" and choose a new backup path.";
inline constexpr const char* kSimulatorFilter = "FSX.EXE|FSX.EXE";

// "Could not create folder in " + folder + ". Please select a new path at try again."
std::string CouldNotCreateMessage(const std::string& folder);
// "You must select a folder in order to proceed! Would you like to keep the default " + folder + " backup folder path?"
std::string KeepDefaultBackupQuestion(const std::string& folder);
// Save's refusal of a path the settings file cannot hold, naming the path.
std::string UnstorablePathMessage(const std::string& path);
// Save's refusal of a folder whose name ends in a space, which the settings
// file drops: saved, it would name another folder.
std::string EndingSpaceMessage(const std::string& path);
// Save's refusal of a backup folder that names a file.
std::string BackupFolderIsAFileMessage(const std::string& path);

// What Save says when the settings file could not be written.
std::string SettingsNotSavedMessage(const std::string& settingsFile);

// The default backup folder: the user's home folder + "/VRX-Backup".
std::string DefaultBackupFolder(const std::string& homeFolder);

// The chosen program file's folder: the name without its last 8 characters
// (the length of "/FSX.EXE"), whatever file was chosen.
std::string FolderOfChosenProgram(const std::string& fileName);

// The link indexes of lblSelect.
enum SettingsLink {
    kLinkSelectSimulator = 0,
    kLinkCancel = 1,
    kLinkSave = 2,
    kLinkSelectBackup = 3,
};

struct SettingsFormServices {
    Dialogs& dialogs;
    // The file dialog kept for the whole run; created at the first simulator Select.
    std::unique_ptr<CFileDialog>& fileDialog;
    // The simulator folder to propose when none is set.
    std::function<std::string()> findSimulatorFolder;
    std::string defaultBackupFolder;
    InterfaceColours colours;
};

class SettingsForm {
public:
    SettingsForm(Session& session, SettingsView& view, SettingsFormServices services);

    // Colours, the simulator folder (proposed when unset, with the fix
    // ticked), the backup folder (the default when unset).
    void Load();
    void HoverLink(int index);
    void HoverBackground();
    // A click on lblSelect(index); an unexpected failure ends it silently.
    void ClickLink(int index);
    // Every closing passes here; with no settings file it says so and the program must end.
    void CloseRequest();

    // True once the window was left without saved settings.
    bool ProgramMustEnd() const { return programMustEnd_; }

private:
    void SelectSimulator();
    void SelectBackupFolder();
    void CancelClicked();
    void Save();
    // The checks of Save on the texts as shown; the backup folder to save,
    // from the root, once every check passed.
    std::optional<std::string> SaveChecksPass(const std::string& shownPath, const std::string& typedBackup);
    bool SettingsFileExists();

    Session& session_;
    SettingsView& view_;
    SettingsFormServices services_;
    bool programMustEnd_ = false;
};

}  // namespace vrx
