// The settings window's logic on real temporary folders, with the user's
// answers to message boxes and dialogs scripted and the window recorded.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "install/SessionRig.h"
#include "settings/CFileDialog.h"
#include "settings/SettingsForm.h"
#include "settings/SettingsView.h"
#include "support/CurrentFolder.h"
#include "support/ScriptedDialogs.h"

namespace vrx {
namespace {

using test::ReadFile;
using test::ScriptedDialogs;
using test::WriteFile;

// What the window shows, and how it went away.
class RecordedView final : public SettingsView {
public:
    void ApplyColours(const InterfaceColours& c) override { colours = c; }
    void ShowPath(const std::string& text) override { path = text; }
    std::string PathText() const override { return path; }
    void ShowBackup(const std::string& text) override { backup = text; }
    std::string BackupText() const override { return backup; }
    void SetAttrib(bool ticked) override { attrib = ticked; }
    bool Attrib() const override { return attrib; }
    void SetLinkHighlighted(int index, bool on) override { links.at(static_cast<std::size_t>(index)) = on; }
    void CloseWindow() override {
        ++closes;
        if (form) form->CloseRequest();
    }
    void EndProgram() override { ++ends; }

    SettingsForm* form = nullptr;
    InterfaceColours colours;
    std::string path = "#";
    std::string backup = "#";
    bool attrib = false;
    std::vector<int> links = std::vector<int>(4, -1);
    int closes = 0;
    int ends = 0;
};

constexpr Colour kFore = 0x102030;
constexpr Colour kHighlight = 0x00FFFF;

class SettingsFormTest : public ::testing::Test {
protected:
    test::SessionRig rig;
    ScriptedDialogs dialogs;
    std::unique_ptr<CFileDialog> fileDialog;
    RecordedView view;
    std::string proposal;
    std::string home = rig.dir / "home";
    std::unique_ptr<SettingsForm> form;

    void SetUp() override {
        test::MakeDirs(rig.appFolder);
        test::MakeDirs(home);
    }

    SettingsForm& open() {
        InterfaceColours colours;
        colours.TextForeColor = kFore;
        colours.TextHighlightColor = kHighlight;
        form = std::make_unique<SettingsForm>(
            rig.session, view,
            SettingsFormServices{dialogs, fileDialog, [this] { return proposal; }, DefaultBackupFolder(home), colours});
        view.form = form.get();
        form->Load();
        return *form;
    }
    std::string simulator(const std::string& programName = "FSX.EXE") {
        const std::string folder = rig.dir / "Games/FSX";
        WriteFile(folder + "/" + programName, "MZ");
        return folder;
    }
    std::string settingsFile() { return rig.session.settingsFilePath; }
};

TEST_F(SettingsFormTest, FirstOpeningProposesTheSimulatorTicksTheFixAndTheHomeBackupFolder) {
    proposal = simulator();
    rig.settings.readoverwrite = 0;
    open();
    EXPECT_EQ(view.path, proposal);
    EXPECT_EQ(rig.settings.fspath, proposal);  // stored in the record at once
    EXPECT_TRUE(view.attrib);
    EXPECT_EQ(view.backup, home + "/VRX-Backup");
    EXPECT_EQ(rig.settings.backuppath, home + "/VRX-Backup");
    EXPECT_EQ(view.links, std::vector<int>(4, 0));
    EXPECT_EQ(view.colours.TextForeColor, kFore);
    EXPECT_EQ(view.colours.TextHighlightColor, kHighlight);

    form->HoverLink(2);
    EXPECT_EQ(view.links, (std::vector<int>{0, 0, 1, 0}));
    form->HoverBackground();
    EXPECT_EQ(view.links, std::vector<int>(4, 0));
}

TEST_F(SettingsFormTest, ASetFolderIsShownWithTheStoredFix) {
    for (const std::int16_t stored : {0, 1}) {
        rig.settings.fspath = "/somewhere/FSX";
        rig.settings.backuppath = "/somewhere/Backup";
        rig.settings.readoverwrite = stored;
        proposal = "/never/used";
        open();
        EXPECT_EQ(view.path, "/somewhere/FSX");
        EXPECT_EQ(view.attrib, stored == 1);
        EXPECT_EQ(view.backup, "/somewhere/Backup");
    }
}

TEST_F(SettingsFormTest, SavingCreatesTheBackupFolderWritesFiveLinesAndCloses) {
    proposal = simulator();
    open();
    form->ClickLink(kLinkSave);
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_TRUE(test::PathExists(home + "/VRX-Backup"));
    EXPECT_EQ(ReadFile(settingsFile()), "FSPath=" + proposal + "\r\nBackupPath=" + home +
                                            "/VRX-Backup\r\nReadOverwrite=1\r\nnorbackup=\r\nrebackup=\r\n");
    EXPECT_EQ(view.closes, 1);
    EXPECT_FALSE(form->ProgramMustEnd());
}

TEST_F(SettingsFormTest, ChoosingTheProgramFileInAnyCaseShowsItsFolder) {
    struct Case {
        const char* chosen;
        const char* shown;
    } cases[] = {
        {"/games/FSX/FSX.EXE", "/games/FSX"},
        {"/games/FSX/fsx.exe", "/games/FSX"},
        {"/games/FSX/FSX.exe", "/games/FSX"},
        {"/games/Flight/readme.txt", "/games/Flight/re"},  // whatever file was chosen, 8 characters go
    };
    for (const Case& c : cases) {
        dialogs.file(FileDialogAnswer{{c.chosen}, 1});
        open();
        form->ClickLink(kLinkSelectSimulator);
        EXPECT_EQ(view.path, c.shown) << c.chosen;
        EXPECT_EQ(dialogs.fileRequests.back().filters.at(0).patterns, std::vector<std::string>{"FSX.EXE"});
        EXPECT_NE(rig.settings.fspath, c.shown);  // fspath changes only on Save
    }
    EXPECT_EQ(FolderOfChosenProgram("/spiele/Flügel/FSX.EXE"), "/spiele/Flügel");
    EXPECT_EQ(FolderOfChosenProgram("/x/ßßßßßßßß"), "/x/");
}

TEST_F(SettingsFormTest, AFirstCancelledFileDialogSaysInvalidALaterOneShowsTheLastChoice) {
    open();
    dialogs.file(std::nullopt);
    form->ClickLink(kLinkSelectSimulator);
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Invalid Path Specified!"});

    dialogs.file(FileDialogAnswer{{"/a/FSX/FSX.EXE"}, 1});
    form->ClickLink(kLinkSelectSimulator);
    view.path = "changed";
    dialogs.file(std::nullopt);
    form->ClickLink(kLinkSelectSimulator);
    EXPECT_EQ(view.path, "/a/FSX");
    EXPECT_EQ(rig.Messages().size(), 1u);
    // The dialog object outlives the window: a new opening starts from its last name.
    dialogs.file(std::nullopt);
    open();
    form->ClickLink(kLinkSelectSimulator);
    EXPECT_EQ(dialogs.fileRequests.back().fileName, "/a/FSX/FSX.EXE");
}

TEST_F(SettingsFormTest, TheFileDialogOpensOnTheFolderShownUntilAFileIsChosen) {
    // Nothing found: the dialogs choose where to open.
    open();
    dialogs.file(std::nullopt);
    form->ClickLink(kLinkSelectSimulator);
    EXPECT_EQ(dialogs.fileRequests.back().initDir, "");
    // A folder shown that is none (any more): the same.
    view.path = rig.dir / "Gone/FSX";
    dialogs.file(std::nullopt);
    form->ClickLink(kLinkSelectSimulator);
    EXPECT_EQ(dialogs.fileRequests.back().initDir, "");
    // The folder found: the dialog opens on it.
    view.path = simulator();
    dialogs.file(FileDialogAnswer{{rig.dir / "Games/FSX/FSX.EXE"}, 1});
    form->ClickLink(kLinkSelectSimulator);
    EXPECT_EQ(dialogs.fileRequests.back().initDir, rig.dir / "Games/FSX");
    EXPECT_EQ(dialogs.fileRequests.back().fileName, "");
    // Once a file is chosen, the next opening starts from it.
    view.path = rig.dir / "Games";
    dialogs.file(std::nullopt);
    form->ClickLink(kLinkSelectSimulator);
    EXPECT_EQ(dialogs.fileRequests.back().fileName, rig.dir / "Games/FSX/FSX.EXE");
    EXPECT_EQ(view.path, rig.dir / "Games/FSX");
}

TEST_F(SettingsFormTest, BackupSelectBrowsesFromTheTypedFolderUntilAFolderOrAYes) {
    const std::string typed = rig.dir / "Existing/NotYet";
    test::MakeDirs(rig.dir / "Existing");
    open();
    view.backup = typed;
    // Cancel, No (browse again), cancel, Yes (keep the text).
    dialogs.folder(std::nullopt).folder(std::nullopt);
    rig.prompts.answer(false).answer(true);
    form->ClickLink(kLinkSelectBackup);
    ASSERT_EQ(dialogs.folderRequests.size(), 2u);
    EXPECT_EQ(dialogs.folderRequests[0].prompt, "Please select a folder...");
    // The typed folder does not exist yet: the dialog opens on its parent.
    EXPECT_EQ(dialogs.folderRequests[0].startFolder, rig.dir / "Existing/");
    const std::string question = "You must select a folder in order to proceed! Would you like to keep the default " +
                                 typed + " backup folder path?";
    EXPECT_EQ(rig.prompts.texts(), (std::vector<std::string>{question, question}));
    EXPECT_EQ(rig.settings.backuppath, typed);
    EXPECT_EQ(view.backup, typed);

    dialogs.folder(rig.dir / "Chosen/");
    form->ClickLink(kLinkSelectBackup);
    EXPECT_EQ(rig.settings.backuppath, rig.dir / "Chosen");
    EXPECT_EQ(view.backup, rig.dir / "Chosen");
    EXPECT_EQ(dialogs.folderRequests[2].startFolder, rig.dir / "Existing/");
}

// The root has no separator to drop: it is a folder like any other, not an empty path.
TEST_F(SettingsFormTest, ChoosingTheRootFolderGivesTheRoot) {
    open();
    view.backup = rig.dir / "Typed";
    dialogs.folder("/");
    form->ClickLink(kLinkSelectBackup);
    EXPECT_EQ(dialogs.folderRequests.size(), 1u);
    EXPECT_TRUE(rig.prompts.shown.empty());  // no "You must select a folder" question
    EXPECT_EQ(rig.settings.backuppath, "/");
    EXPECT_EQ(view.backup, "/");
}

TEST_F(SettingsFormTest, BrowsingStartsWithATrailingSeparatorWhateverTheText) {
    test::MakeDirs(rig.dir / "VRX-Backup");
    open();
    for (const std::string& text : {rig.dir / "VRX-Backup", rig.dir / "VRX-Backup/"}) {
        view.backup = text;
        dialogs.folder(rig.dir / "VRX-Backup");
        form->ClickLink(kLinkSelectBackup);
        EXPECT_EQ(dialogs.folderRequests.back().startFolder, rig.dir / "VRX-Backup/");
    }
}

TEST_F(SettingsFormTest, SaveRefusalsKeepTheWindowOpenAndSaveNothing) {
    const std::string fsx = simulator();
    WriteFile(rig.dir / "\xe6\x97\xa5\xe6\x9c\xac FSX/FSX.EXE", "MZ");
    WriteFile(rig.dir / "Spaced FSX /FSX.EXE", "MZ");
    test::MakeDirs(rig.dir / "Folder FSX/FSX.EXE");
    struct Case {
        const char* name;
        std::string path;
        std::string backup;
        std::string message;
    } cases[] = {
        {"no program file", rig.dir / "Games", rig.dir / "NewBackup",
         "The path to FSX in your settings configuration file is invalid! Please press the \"Select\" link in the top "
         "left to browse to FSX."},
        {"empty simulator folder", "", rig.dir / "NewBackup",
         "The path to FSX in your settings configuration file is invalid! Please press the \"Select\" link in the top "
         "left to browse to FSX."},
        // The file could not name it: read back, the path would lose its last
        // space. Said so, not that the user should select the simulator again.
        {"simulator folder ending in a space", rig.dir / "Spaced FSX ", rig.dir / "NewBackup",
         "The path " + (rig.dir / "Spaced FSX ") +
             " ends in a space, which the Verdantis settings file cannot keep. Please rename the folder so that its "
             "name does not end in a space, or choose another one."},
        // The program's name on a folder is no program: Save refuses it as the start-up check does.
        {"program name on a folder", rig.dir / "Folder FSX", rig.dir / "NewBackup",
         "The path to FSX in your settings configuration file is invalid! Please press the \"Select\" link in the top "
         "left to browse to FSX."},
        {"backup parent missing", fsx, rig.dir / "missing/Backup",
         "Could not create folder in " + (rig.dir / "missing/Backup") + ". Please select a new path at try again."},
        {"simulator not storable", rig.dir / "\xe6\x97\xa5\xe6\x9c\xac FSX", rig.dir / "NewBackup",
         "The path " + (rig.dir / "\xe6\x97\xa5\xe6\x9c\xac FSX") +
             " cannot be saved in the Verdantis settings file, because it holds characters that the file cannot "
             "store. Please choose a folder whose path has none of them."},
        {"backup not storable", fsx, rig.dir / "Sicherung \xe2\x86\x92 \xe6\x97\xa5\xe6\x9c\xac",
         "The path " + (rig.dir / "Sicherung \xe2\x86\x92 \xe6\x97\xa5\xe6\x9c\xac") +
             " cannot be saved in the Verdantis settings file, because it holds characters that the file cannot "
             "store. Please choose a folder whose path has none of them."},
    };
    for (const Case& c : cases) {
        rig.prompts.shown.clear();
        open();
        view.path = c.path;
        view.backup = c.backup;
        form->ClickLink(kLinkSave);
        EXPECT_EQ(rig.Messages(), std::vector<std::string>{c.message}) << c.name;
        EXPECT_FALSE(test::PathExists(settingsFile())) << c.name;
        EXPECT_FALSE(test::PathExists(c.backup)) << c.name;
        EXPECT_EQ(view.closes, 0) << c.name;
    }
}

// A file where the backup folder should be would be saved, and the next start
// would call the settings invalid: Save refuses it, naming it from the root.
TEST_F(SettingsFormTest, ABackupFolderThatIsAFileIsRefused) {
    const std::string fsx = simulator();
    WriteFile(rig.dir / "Backups.txt", "a file");
    const std::string here = std::filesystem::canonical(rig.dir.path()).string();
    const test::CurrentFolder startedFrom(here);
    struct Case {
        std::string typed;
        std::string named;
    };
    const Case cases[] = {
        {rig.dir / "Backups.txt", rig.dir / "Backups.txt"},
        {"Backups.txt", here + "/Backups.txt"},
        {rig.dir / "BACKUPS.TXT", rig.dir / "BACKUPS.TXT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        rig.prompts.shown.clear();
        open();
        view.path = fsx;
        view.backup = c.typed;
        form->ClickLink(kLinkSave);
        EXPECT_EQ(rig.Messages(),
                  std::vector<std::string>{"The path to your backup folder names a file, not a folder: " + c.named +
                                           ". Please press \"Select\" and choose a folder, or type in a new one."});
        EXPECT_FALSE(test::PathExists(settingsFile()));
        EXPECT_EQ(ReadFile(rig.dir / "Backups.txt"), "a file");
        EXPECT_EQ(view.closes, 0);
        EXPECT_FALSE(form->ProgramMustEnd());
    }
    // The user types a folder instead: saved.
    view.backup = rig.dir / "Backups";
    form->ClickLink(kLinkSave);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(rig.settings.backuppath, rig.dir / "Backups");
}

// A relative folder is the one below the folder the program was started
// from, where Save tests and creates it; the file names it from the root, so
// that the next start, from wherever, uses the same folder.
TEST_F(SettingsFormTest, ARelativeBackupFolderIsSavedFromTheRoot) {
    const std::string fsx = simulator();
    const std::string start = std::filesystem::canonical(rig.dir.path()).string() + "/start";
    test::MakeDirs(start + "/Existing");
    struct Case {
        const char* typed;
        std::string saved;
        bool created;
    };
    const Case cases[] = {
        {"Backups", start + "/Backups", true},
        {"./VRX Backup/", start + "/VRX Backup", true},
        {"  Existing ", start + "/Existing", false},
        {"Existing/../Other", start + "/Existing/../Other", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::filesystem::remove(settingsFile());
        view.closes = 0;
        ASSERT_EQ(std::filesystem::exists(c.saved), !c.created);
        {
            const test::CurrentFolder startedFrom(start);
            open();
            view.path = fsx;
            view.backup = c.typed;
            form->ClickLink(kLinkSave);
        }
        EXPECT_TRUE(rig.Messages().empty());
        EXPECT_EQ(view.closes, 1);
        EXPECT_EQ(rig.settings.backuppath, c.saved);
        EXPECT_NE(ReadFile(settingsFile()).find("BackupPath=" + c.saved + "\r\n"), std::string::npos);
        EXPECT_TRUE(std::filesystem::is_directory(c.saved));
        // Nothing was made where the tests run from.
        EXPECT_FALSE(test::PathExists(c.typed));
    }
}

// A backup folder whose own name ends in a space would be saved as another
// folder, without the space: refused, and the other one is not created.
TEST_F(SettingsFormTest, ABackupFolderEndingInASpaceIsRefused) {
    const std::string fsx = simulator();
    test::MakeDirs(rig.dir / "Spaced Backup ");
    open();
    view.path = fsx;
    view.backup = rig.dir / "Spaced Backup ";
    form->ClickLink(kLinkSave);
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{
                                  "The path " + (rig.dir / "Spaced Backup ") +
                                  " ends in a space, which the Verdantis settings file cannot keep. Please rename "
                                  "the folder so that its name does not end in a space, or choose another one."});
    EXPECT_FALSE(test::PathExists(rig.dir / "Spaced Backup"));
    EXPECT_FALSE(test::PathExists(settingsFile()));
    EXPECT_EQ(view.closes, 0);
}

TEST_F(SettingsFormTest, ALowerCaseProgramFileIsTheSimulatorToo) {
    const std::string fsx = simulator("fsx.exe");
    open();
    view.path = fsx;
    form->ClickLink(kLinkSave);
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_EQ(rig.settings.fspath, fsx);
    EXPECT_EQ(view.closes, 1);
}

// The file keeps no spaces around a value: the record, which the backup runs
// of this session use, names the same folders as the file will at the next start.
TEST_F(SettingsFormTest, FoldersWithSpacesAroundThemAreTheFoldersTheFileWillName) {
    const std::string fsx = simulator();
    open();
    view.path = fsx + "  ";
    view.backup = home + "/Backups ";
    view.attrib = false;
    form->ClickLink(kLinkSave);
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_TRUE(test::PathExists(home + "/Backups"));
    EXPECT_FALSE(test::PathExists(home + "/Backups "));
    EXPECT_EQ(rig.settings.fspath, fsx);
    EXPECT_EQ(rig.settings.backuppath, home + "/Backups");
    EXPECT_EQ(rig.settings.readoverwrite, 0);
    EXPECT_NE(ReadFile(settingsFile()).find("FSPath=" + fsx + "\r\n"), std::string::npos);
    EXPECT_NE(ReadFile(settingsFile()).find("BackupPath=" + home + "/Backups\r\n"), std::string::npos);
}

TEST_F(SettingsFormTest, LeavingWithoutASettingsFileEndsTheProgramWithItsMessage) {
    open();
    form->ClickLink(kLinkCancel);
    EXPECT_EQ(rig.Messages(),
              std::vector<std::string>{"There are no Verdantis X settings available. Please restart Verdantis and make "
                                       "sure you save the settings in the settings screen."});
    EXPECT_TRUE(form->ProgramMustEnd());
    EXPECT_EQ(view.ends, 1);
    EXPECT_EQ(view.closes, 0);  // at once: no close request

    rig.prompts.shown.clear();
    open();
    form->CloseRequest();
    EXPECT_EQ(rig.Messages(),
              std::vector<std::string>{"There are no Verdantis settings availble. Please restart Verdantis and make "
                                       "sure you save the settings in the settings screen."});
    EXPECT_TRUE(form->ProgramMustEnd());
}

TEST_F(SettingsFormTest, CancelWithSettingsClosesAndKeepsTheBrowsedFolderInTheRecordOnly) {
    WriteFile(settingsFile(), "FSPath=/a\r\nBackupPath=/old\r\nReadOverwrite=1\r\nnorbackup=1\r\nrebackup=1\r\n");
    rig.settings.fspath = "/a";
    rig.settings.backuppath = "/old";
    open();
    dialogs.folder(rig.dir.path());
    form->ClickLink(kLinkSelectBackup);
    form->ClickLink(kLinkCancel);
    EXPECT_EQ(view.closes, 1);
    EXPECT_FALSE(form->ProgramMustEnd());
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_EQ(rig.settings.backuppath, rig.dir.path());
    EXPECT_NE(ReadFile(settingsFile()).find("BackupPath=/old\r\n"), std::string::npos);
}

// A save that fails is said, not passed over: the window stays open with the
// record as it was, and leaving it then on the first run ends the program.
TEST_F(SettingsFormTest, ASettingsFileThatCannotBeWrittenIsSaidAndTheWindowStaysOpen) {
    proposal = simulator();
    open();
    const std::string proposed = rig.settings.fspath;
    // A folder in the settings file's place: the save cannot replace it.
    test::MakeDirs(settingsFile());
    rig.settings.readoverwrite = 0;
    view.attrib = true;
    form->ClickLink(kLinkSave);
    EXPECT_EQ(view.closes, 0);
    EXPECT_FALSE(form->ProgramMustEnd());
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Verdantis could not save its settings to " + settingsFile() +
                                                       ". Please make sure the file is not read-only and the disk "
                                                       "has room, then try again."});
    EXPECT_EQ(rig.settings.readoverwrite, 0);  // the record keeps what it held
    EXPECT_EQ(rig.settings.fspath, proposed);

    form->ClickLink(kLinkCancel);
    EXPECT_EQ(view.ends, 1);
    EXPECT_EQ(rig.Messages().back(),
              "There are no Verdantis X settings available. Please restart Verdantis and make sure you save the "
              "settings in the settings screen.");
}

// The same from the sidebar, with a read-only settings file (which binds root
// too: the file system refuses to replace it, as Windows does): the file keeps
// the saved settings, and Cancel then closes as ever.
TEST_F(SettingsFormTest, AReadOnlySettingsFileIsSaidAndKeepsTheSavedSettings) {
    const std::string fsx = simulator();
    const std::string saved = "FSPath=" + fsx + "\r\nBackupPath=" + home +
                              "\r\nReadOverwrite=1\r\nnorbackup=1\r\nrebackup=1\r\n";
    WriteFile(settingsFile(), saved);
    std::filesystem::permissions(settingsFile(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
    rig.settings.fspath = fsx;
    rig.settings.backuppath = home;
    rig.settings.readoverwrite = 1;
    open();
    view.attrib = false;
    view.backup = home + "/Other";
    form->ClickLink(kLinkSave);
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Verdantis could not save its settings to " + settingsFile() +
                                                       ". Please make sure the file is not read-only and the disk "
                                                       "has room, then try again."});
    EXPECT_EQ(view.closes, 0);
    EXPECT_EQ(ReadFile(settingsFile()), saved);
    EXPECT_EQ(rig.settings.readoverwrite, 1);
    EXPECT_EQ(rig.settings.backuppath, home);

    form->ClickLink(kLinkCancel);
    EXPECT_EQ(view.closes, 1);
    EXPECT_FALSE(form->ProgramMustEnd());
}

}  // namespace
}  // namespace vrx
