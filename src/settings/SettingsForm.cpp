#include "settings/SettingsForm.h"

#include <exception>

#include "config/AppSettings.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "platform/SpaceTrim.h"
#include "platform/TextCodec.h"
#include "session/Session.h"
#include "settings/CFileDialog.h"
#include "settings/FolderBrowse.h"
#include "settings/SettingsView.h"

namespace vrx {

namespace {

constexpr int kLinkCount = 4;
constexpr std::size_t kProgramNameLength = 8;  // "/FSX.EXE"

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool EndsInSpace(const std::string& text) {
    return !text.empty() && text.back() == ' ';
}

// The text as the file system would take it, spaces at its end included.
std::string WithoutLeadingSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

std::string CouldNotCreateMessage(const std::string& folder) {
    return "Could not create folder in " + folder + ". Please select a new path at try again.";
}

std::string KeepDefaultBackupQuestion(const std::string& folder) {
    return "You must select a folder in order to proceed! Would you like to keep the default " + folder +
           " backup folder path?";
}

std::string UnstorablePathMessage(const std::string& path) {
    return "The path " + path +
           " cannot be saved in the Verdantis settings file, because it holds characters that the file cannot "
           "store. Please choose a folder whose path has none of them.";
}

std::string EndingSpaceMessage(const std::string& path) {
    return "The path " + path +
           " ends in a space, which the Verdantis settings file cannot keep. Please rename the folder so that its "
           "name does not end in a space, or choose another one.";
}

std::string BackupFolderIsAFileMessage(const std::string& path) {
    return "The path to your backup folder names a file, not a folder: " + path +
           ". Please press \"Select\" and choose a folder, or type in a new one.";
}

std::string SettingsNotSavedMessage(const std::string& settingsFile) {
    return "Verdantis could not save its settings to " + settingsFile +
           ". Please make sure the file is not read-only and the disk has room, then try again.";
}

std::string DefaultBackupFolder(const std::string& homeFolder) {
    return JoinCollapsed(homeFolder, "VRX-Backup");
}

std::string FolderOfChosenProgram(const std::string& fileName) {
    // Characters, not bytes: a name ending in other letters is cut whole.
    std::size_t end = fileName.size();
    for (std::size_t cut = 0; cut < kProgramNameLength && end > 0; ++cut) {
        do {
            --end;
        } while (end > 0 && IsContinuationByte(fileName[end]));
    }
    return fileName.substr(0, end);
}

SettingsForm::SettingsForm(Session& session, SettingsView& view, SettingsFormServices services)
    : session_(session), view_(view), services_(std::move(services)) {}

void SettingsForm::Load() {
    AppSettings& settings = session_.settings;
    view_.ApplyColours(services_.colours);
    for (int i = 0; i < kLinkCount; ++i) view_.SetLinkHighlighted(i, false);
    if (!settings.fspath.empty()) {
        view_.ShowPath(settings.fspath);
        view_.SetAttrib(settings.readoverwrite == 1);
    } else {
        settings.fspath = services_.findSimulatorFolder ? services_.findSimulatorFolder() : std::string();
        view_.ShowPath(settings.fspath);
        view_.SetAttrib(true);
    }
    if (settings.backuppath.empty()) settings.backuppath = services_.defaultBackupFolder;
    view_.ShowBackup(settings.backuppath);
}

void SettingsForm::HoverLink(int index) {
    if (index >= 0 && index < kLinkCount) view_.SetLinkHighlighted(index, true);
}

void SettingsForm::HoverBackground() {
    for (int i = 0; i < kLinkCount; ++i) view_.SetLinkHighlighted(i, false);
}

void SettingsForm::ClickLink(int index) {
    try {
        switch (index) {
            case kLinkSelectSimulator:
                SelectSimulator();
                break;
            case kLinkCancel:
                CancelClicked();
                break;
            case kLinkSave:
                Save();
                break;
            case kLinkSelectBackup:
                SelectBackupFolder();
                break;
            default:
                break;
        }
    } catch (const std::exception&) {
        // An unexpected failure ends this click's handling; the window stays as it is.
    }
}

void SettingsForm::SelectSimulator() {
    if (!services_.fileDialog) services_.fileDialog = std::make_unique<CFileDialog>(services_.dialogs);
    CFileDialog& dialog = *services_.fileDialog;
    dialog.SetFilter(kSimulatorFilter);
    // Until a file has been chosen, the dialog opens on the simulator folder
    // shown (found or saved); with none, where the dialogs think it most likely.
    if (dialog.FileName().empty()) {
        const std::string shown = view_.PathText();
        dialog.SetInitDir(!shown.empty() && session_.fs.isFolder(shown) ? shown : std::string());
    }
    dialog.ShowOpen();
    if (dialog.FileName().empty()) {
        session_.prompts.message(kInvalidPathSpecified);
        return;
    }
    // fspath itself changes only on Save.
    view_.ShowPath(FolderOfChosenProgram(dialog.FileName()));
}

void SettingsForm::SelectBackupFolder() {
    std::string& backuppath = session_.settings.backuppath;
    backuppath.clear();
    // Ends only with a chosen folder, or a Yes to keeping a non-empty text.
    while (backuppath.empty()) {
        backuppath = BrowseForFolder(services_.dialogs, session_.fs, view_.BackupText());
        if (backuppath.empty() && session_.prompts.askYesNo(KeepDefaultBackupQuestion(view_.BackupText()))) {
            backuppath = view_.BackupText();
        }
    }
    view_.ShowBackup(backuppath);
}

void SettingsForm::CancelClicked() {
    if (!SettingsFileExists()) {
        session_.prompts.message(kNoSettingsOnCancel);
        programMustEnd_ = true;
        view_.EndProgram();
        return;
    }
    view_.CloseWindow();
}

std::optional<std::string> SettingsForm::SaveChecksPass(const std::string& shownPath, const std::string& typedBackup) {
    FileSystem& fs = session_.fs;
    // The settings file keeps its values without surrounding spaces, which
    // Windows ignores in a path and Linux does not: the folders tested and
    // recorded are the ones the file will name, so that this session and the
    // next use the same ones.
    const std::string simulator(TrimSpaces(shownPath));
    const std::string typed(TrimSpaces(typedBackup));
    // A folder whose own name ends in a space is another folder once the file
    // has dropped the space: say so, rather than that no simulator is there.
    if (EndsInSpace(shownPath) && fs.isOrdinaryFile(JoinPath(WithoutLeadingSpaces(shownPath), "FSX.EXE"))) {
        session_.prompts.message(EndingSpaceMessage(shownPath));
        return std::nullopt;
    }
    if (simulator.empty() || !fs.isOrdinaryFile(JoinPath(simulator, "FSX.EXE"))) {
        session_.prompts.message(kSimulatorFolderRefused);
        return std::nullopt;
    }
    if (EndsInSpace(typedBackup) && fs.exists(WithoutLeadingSpaces(typedBackup))) {
        session_.prompts.message(EndingSpaceMessage(typedBackup));
        return std::nullopt;
    }
    // A relative folder is taken from the folder the program was started
    // from; the file names it from the root, so the next start finds it wherever it starts.
    std::optional<std::string> folder = typed.empty() ? std::optional<std::string>(typed) : fs.absolutePath(typed);
    if (!folder) {
        session_.prompts.message(CouldNotCreateMessage(typedBackup));
        return std::nullopt;
    }
    // settings.cfg is Windows-1252: a path without that form could never be read back.
    for (const std::string* path : {&simulator, static_cast<const std::string*>(&*folder)}) {
        if (!EncodeWindows1252(*path)) {
            session_.prompts.message(UnstorablePathMessage(*path));
            return std::nullopt;
        }
    }
    if (!fs.exists(*folder) && !fs.createFolder(*folder)) {
        session_.prompts.message(CouldNotCreateMessage(typedBackup));
        return std::nullopt;
    }
    if (!fs.exists(*folder)) {
        session_.prompts.message(kBackupFolderRefused);
        return std::nullopt;
    }
    // The next start would call a file invalid as the backup folder.
    if (!fs.isFolder(*folder)) {
        session_.prompts.message(BackupFolderIsAFileMessage(*folder));
        return std::nullopt;
    }
    return folder;
}

void SettingsForm::Save() {
    const std::string shownPath = view_.PathText();
    const std::string typedBackup = view_.BackupText();
    std::optional<std::string> backup;
    try {
        backup = SaveChecksPass(shownPath, typedBackup);
    } catch (const std::exception&) {
        session_.prompts.message(CouldNotCreateMessage(typedBackup));
        return;
    }
    if (!backup) return;
    AppSettings settings = session_.settings;
    settings.readoverwrite = view_.Attrib() ? 1 : 0;
    settings.fspath = TrimSpaces(shownPath);
    settings.backuppath = *backup;
    // A save that did not reach the disk is said, and the window stays open:
    // closing as if saved would lose the user's choice at the next start.
    if (!SaveSettings(settings, session_.sharedCfg, session_.settingsFilePath)) {
        session_.prompts.message(SettingsNotSavedMessage(session_.settingsFilePath));
        return;
    }
    session_.settings = settings;
    view_.CloseWindow();
}

void SettingsForm::CloseRequest() {
    if (programMustEnd_) return;
    if (!SettingsFileExists()) {
        session_.prompts.message(kNoSettingsOnClose);
        programMustEnd_ = true;
    }
}

bool SettingsForm::SettingsFileExists() {
    return session_.fs.isOrdinaryFile(session_.settingsFilePath);
}

}  // namespace vrx
