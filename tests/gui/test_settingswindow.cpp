// The settings window on the offscreen platform: the first start with the
// simulator registered in a Wine prefix, Save's refusals, the start-up check
// running on the saved values, Cancel and the close box ending the program
// (in a child process, to see it end), and Qt's file and folder dialogs
// behind the program's dialog interface: hidden folders shown, the places the
// simulator search knows in their side panel, the file dialog opening where
// the simulator most likely is.

#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDebug>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/ElidedPathLabel.h"
#include "app/LinkLabel.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/QtDialogs.h"
#include "app/ScreenMetrics.h"
#include "config/AppSettings.h"
#include "gui/GuiSupport.h"
#include "platform/Dialogs.h"
#include "platform/linux/LinuxFileSystem.h"
#include "session/Session.h"
#include "settings/CFileDialog.h"
#include "settings/FolderBrowse.h"
#include "support/ScriptedDialogs.h"

using vrx::test::AddonFolder;
using vrx::test::GuiPrompts;
using vrx::test::ReadFile;
using vrx::test::ScriptedDialogs;
using vrx::test::WriteFile;

namespace {

const char* const kColours =
    "ControlBackColor=F0F0E0\r\nFormBackColor=2F4F3F\r\nTextForeColor=E0E0D0\r\nTextHighlightColor=FFD040\r\n"
    "ListTextColor=202020\r\nVRXVersion=Verdantis Test\r\n";
const std::string kFirstRun =
    "Since this is the first time you are running Verdantis, we will open the Settings screen for you to confirm "
    "your Verdantis settings.";
const std::string kFirstBackup =
    "Backup files are not detected. We will now backup your current Flight Simulator textures unless you select "
    "\"No\" below. If you select No, you will not be able to restore the current FSX textures. Are you ready to run "
    "the backup process now?";
const std::string kNeverAsk =
    "Do you want to mark the configuration file so you will not be prompted to backup in the future?";
const std::string kBackupInvalid =
    "The path to your backup folder is invalid. Please fix your backup folder path in the next screen";

// An add-on with its pictures, one area and the test's colours, its
// settings saved.
std::unique_ptr<AddonFolder> ColouredAddon() {
    auto addon = std::make_unique<AddonFolder>();
    addon->WriteMediaPictures();
    addon->WriteCatalogue({vrx::test::AreaLine(1)});
    addon->WriteUiCfg(kColours);
    return addon;
}

// An add-on on its first start: no settings.cfg, HOME in the folder.
std::unique_ptr<AddonFolder> FirstStartAddon() {
    auto addon = ColouredAddon();
    std::filesystem::remove(addon->app() + "/settings.cfg");
    vrx::test::MakeDirs(addon->dir / "home");
    setenv("HOME", (addon->dir / "home").c_str(), 1);
    return addon;
}

// A 64-bit Wine prefix at WINEPREFIX registering C:\Games\FSX (in the
// 32-bit view), its C: drive leading to drive_c; the program file in lower case.
std::string RegisterInWinePrefix(const AddonFolder& addon) {
    const std::string prefix = addon.dir / "wine";
    WriteFile(prefix + "/system.reg",
              "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=win64\n\n"
              "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1700000000\n"
              "\"SetupPath\"=\"C:\\\\Games\\\\FSX\\\\\"\n");
    WriteFile(prefix + "/drive_c/Games/FSX/fsx.exe", "MZ");
    vrx::test::MakeDirs(prefix + "/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    return std::filesystem::canonical(prefix + "/drive_c").string() + "/Games/FSX";
}

// Runs act on the modal window named name each time one opens (polled), so
// that a modal started inside the code under test is answered from outside.
class ModalDriver : public QObject {
public:
    ModalDriver(const char* name, std::function<void(QWidget&, int)> act) : name_(name), act_(std::move(act)) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == seen_ || modal->objectName() != name_ || !modal->isVisible()) return;
            seen_ = modal;
            act_(*modal, openings_++);
        });
        timer_.start(20);
    }
    int openings() const { return openings_; }

private:
    QString name_;
    std::function<void(QWidget&, int)> act_;
    QTimer timer_;
    QPointer<QWidget> seen_;
    int openings_ = 0;
};

template <typename T = QWidget>
T* Child(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromUtf8(name));
}

void ClickLink(QWidget& window, int index) {
    auto* link = Child<vrx::LinkLabel>(window, ("lblSelect" + std::to_string(index)).c_str());
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
}

// Types text into the backup box over what it holds, one key event per
// character (QTest's key clicks take only Latin-1).
void TypeBackup(QWidget& window, const QString& text) {
    auto* box = Child<QLineEdit>(window, "lblBackup");
    box->setFocus();
    box->selectAll();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(box, &press);
    }
}

// Confirms a file dialog; one that stays open (the test went wrong) is
// cancelled rather than left to block the run.
void Confirm(QFileDialog& dialog) {
    static_cast<QDialog&>(dialog).accept();
    if (dialog.isVisible()) {
        qWarning() << "the dialog did not take" << dialog.selectedFiles() << dialog.selectedNameFilter();
        dialog.reject();
    }
}

// What a file dialog lists, once it lists expected or 5 s have passed. It
// lists its folder and applies a newly chosen filter in the background, and a
// name typed before it has would lose to the selection it still holds, as no
// user typing at a person's pace would see. Never leaves the dialog open.
QStringList Listing(QFileDialog& dialog, const QStringList& expected) {
    const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList listed;
    for (int i = 0; i < 250; ++i) {
        listed.clear();
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
        }
        if (listed == expected) break;
        QTest::qWait(20);
    }
    return listed;
}

// Puts a name into a file dialog's name box, as a user pasting it does (typed
// key by key, the box's completion list would take the keys).
void TypeFileName(QFileDialog& dialog, const QString& name) {
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
}

void TypeFileName(QFileDialog& dialog, const std::string& name) {
    TypeFileName(dialog, QString::fromStdString(name));
}

// A file dialog's side panel, an entry a line: the name it shows, " = ", its
// folder. Read once it shows the names expected or 5 s have passed.
QStringList SidePanel(QFileDialog& dialog, const QStringList& expectedNames) {
    const auto* panel = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    QStringList entries;
    for (int i = 0; i < 250; ++i) {
        entries.clear();
        QStringList names;
        for (int row = 0; row < panel->model()->rowCount(); ++row) {
            const QModelIndex index = panel->model()->index(row, 0);
            names << index.data().toString();
            entries << index.data().toString() + QStringLiteral(" = ") + index.data(Qt::ToolTipRole).toString();
        }
        if (std::all_of(expectedNames.begin(), expectedNames.end(),
                        [&](const QString& name) { return names.contains(name); })) {
            break;
        }
        QTest::qWait(20);
    }
    return entries;
}

// Clicks the side panel's entry that shows name, as a user does.
void ClickSidePanel(QFileDialog& dialog, const QString& name) {
    auto* panel = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    for (int row = 0; row < panel->model()->rowCount(); ++row) {
        const QModelIndex index = panel->model()->index(row, 0);
        if (index.data().toString() == name) {
            QTest::mouseClick(panel->viewport(), Qt::LeftButton, {}, panel->visualRect(index).center());
            return;
        }
    }
    qWarning() << "no side panel entry" << name;
}

// Whether the side panel shows every entry's name whole.
bool SidePanelNamesFit(QFileDialog& dialog) {
    const auto* panel = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    for (int row = 0; row < panel->model()->rowCount(); ++row) {
        if (panel->sizeHintForIndex(panel->model()->index(row, 0)).width() > panel->viewport()->width()) return false;
    }
    return true;
}

// The side panel's entries and width that Qt keeps in the user's settings for every Qt program.
QStringList SavedSidePanel() {
    return QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
        .value(QStringLiteral("FileDialog/shortcuts"))
        .toStringList();
}

int SavedSidePanelWidth() {
    return QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
        .value(QStringLiteral("FileDialog/sidebarWidth"), -1)
        .toInt();
}

// A home folder with a Wine prefix (the simulator installed in its default
// folder) beside other folders, and a Steam library elsewhere; the
// places the dialogs are given for them.
struct PickerMachine {
    vrx::test::TempDir dir;
    std::string home = dir / "home";
    std::string games = home + "/.wine/drive_c/Program Files (x86)/Microsoft Games";
    std::string program = games + "/Microsoft Flight Simulator X/fsx.exe";
    std::string lutris = home + "/Games/microsoft-flight-simulator-x/drive_c";
    vrx::DialogPlaces places{{{home + "/.wine/drive_c", "Wine: .wine"},
                              {dir / "lib/steamapps/common", "Steam: lib"},
                              {lutris, "Lutris: microsoft-flight-simulator-x"}},
                             games};

    PickerMachine() {
        WriteFile(program, "MZ");
        vrx::test::MakeDirs(home + "/Documents");
        // A hidden folder no place leads through (Qt shows those it was asked about).
        vrx::test::MakeDirs(home + "/.local/share");
        vrx::test::MakeDirs(dir / "lib/steamapps/common/FSX");
        vrx::test::MakeDirs(lutris);
    }
    // The side panel's last entries as they must show.
    QStringList entries() const {
        return {QString::fromStdString("Wine: .wine = " + home + "/.wine/drive_c"),
                QString::fromStdString("Steam: lib = " + (dir / "lib/steamapps/common")),
                QString::fromStdString("Lutris: microsoft-flight-simulator-x = " + lutris)};
    }
};

}  // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void firstRunProposesTheWinePrefixsSimulatorAndSaves();
    void saveRefusesAMissingProgramAMissingParentAndAnUnstorablePath();
    void theStartupCheckRunsOnTheSavedValues();
    void cancelAndTheCloseBoxEndTheProgram_data();
    void cancelAndTheCloseBoxEndTheProgram();
    void theSettingsButtonOpensTheWindowModally();
    void designedSizeTabOrderAndHover_data();
    void designedSizeTabOrderAndHover();
    void aLongPathIsShortenedInTheMiddleAndTheSelectLinksSayWhatTheySelect();
    void cleanup() { vrx::ScreenMetrics::SetDevicePixelRatioForTesting(0); }
    void qtFileDialogTakesTheClassesPropertiesAndMatchesAnyCase();
    void qtFolderDialogOpensOnTheStartFolderAndReturnsNoSeparator();
    void theFoldersArePaintedInTheAreaListsColours();
    void qtFileDialogShowsHiddenFoldersAndTheSearchsPlaces();
    void qtFolderDialogShowsHiddenFoldersAndTheSearchsPlaces();
    void theSimulatorsSelectOpensWhereALaunchersPrefixHoldsIt();
};

void SettingsWindowTest::firstRunProposesTheWinePrefixsSimulatorAndSaves() {
    auto addon = FirstStartAddon();
    const std::string simulator = RegisterInWinePrefix(*addon);
    GuiPrompts prompts;
    prompts.answers = {false, false};  // no first backup, and ask again next time
    ScriptedDialogs dialogs;
    QString shownPath, shownBackup, caption;
    bool ticked = false;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int) {
        caption = window.windowTitle();
        shownPath = Child<QLabel>(window, "lblPath")->text();
        shownBackup = Child<QLineEdit>(window, "lblBackup")->text();
        ticked = Child<QCheckBox>(window, "ChkAttrib")->isChecked();
        ClickLink(window, 2);
    });
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    QVERIFY(program.start());
    QCOMPARE(driver.openings(), 1);
    QCOMPARE(caption, QStringLiteral("Verdantis Settings"));
    QCOMPARE(shownPath, QString::fromStdString(simulator));
    QCOMPARE(shownBackup, QString::fromStdString(addon->dir / "home/VRX-Backup"));
    QVERIFY(ticked);
    QCOMPARE(prompts.texts(), (std::vector<std::string>{kFirstRun, kFirstBackup, kNeverAsk}));
    QCOMPARE(QString::fromStdString(ReadFile(addon->app() + "/settings.cfg")),
             QString::fromStdString("FSPath=" + simulator + "\r\nBackupPath=" + (addon->dir / "home/VRX-Backup") +
                                    "\r\nReadOverwrite=1\r\nnorbackup=\r\nrebackup=\r\n"));
    QVERIFY(vrx::test::PathExists(addon->dir / "home/VRX-Backup"));
    QVERIFY(program.mainWindow().isVisible());
}

void SettingsWindowTest::saveRefusesAMissingProgramAMissingParentAndAnUnstorablePath() {
    auto addon = FirstStartAddon();  // no Wine prefix: nothing to propose
    GuiPrompts prompts;
    ScriptedDialogs dialogs;
    dialogs.file(vrx::FileDialogAnswer{{addon->fsx() + "/FSX.EXE"}, 1});
    const std::string missingParent = addon->dir / "missing/Backup";
    const std::string unstorable = addon->dir / "Sicherung \xe2\x86\x92 \xe6\x97\xa5\xe6\x9c\xac";
    std::vector<std::string> messagesSeen;
    bool openAfterRefusals = false;
    QString pathBefore, pathChosen;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int) {
        pathBefore = Child<QLabel>(window, "lblPath")->text();
        ClickLink(window, 2);
        ClickLink(window, 0);  // the file dialog answers FSX.EXE
        pathChosen = Child<QLabel>(window, "lblPath")->text();
        TypeBackup(window, QString::fromStdString(missingParent));
        ClickLink(window, 2);
        TypeBackup(window, QString::fromStdString(unstorable));
        ClickLink(window, 2);
        openAfterRefusals = window.isVisible() && !vrx::test::PathExists(addon->app() + "/settings.cfg");
        messagesSeen = prompts.texts();
        ClickLink(window, 1);
    });
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    QVERIFY(!program.start());
    QCOMPARE(pathBefore, QString());
    QCOMPARE(pathChosen, QString::fromStdString(addon->fsx()));
    QVERIFY(openAfterRefusals);
    QCOMPARE(messagesSeen,
             (std::vector<std::string>{
                 kFirstRun,
                 "The path to FSX in your settings configuration file is invalid! Please press the \"Select\" link in "
                 "the top left to browse to FSX.",
                 "Could not create folder in " + missingParent + ". Please select a new path at try again.",
                 "The path " + unstorable +
                     " cannot be saved in the Verdantis settings file, because it holds characters that the file "
                     "cannot store. Please choose a folder whose path has none of them."}));
    QVERIFY(!vrx::test::PathExists(missingParent));
    QVERIFY(!vrx::test::PathExists(unstorable));
    QCOMPARE(dialogs.fileRequests.size(), std::size_t{1});
    QCOMPARE(dialogs.fileRequests[0].filters.at(0).description, std::string("FSX.EXE"));
}

void SettingsWindowTest::theStartupCheckRunsOnTheSavedValues() {
    // The settings file keeps the backup folder trimmed; the check after the
    // window must load it, not run on the text as typed.
    auto addon = FirstStartAddon();
    const std::string simulator = RegisterInWinePrefix(*addon);
    GuiPrompts prompts;
    prompts.answers = {false, false};
    ScriptedDialogs dialogs;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int opening) {
        if (opening > 0) {
            ClickLink(window, 1);  // a reopening for an invalid folder: leave it
            return;
        }
        TypeBackup(window, QString::fromStdString(addon->dir / "Backup") + QStringLiteral(" "));
        ClickLink(window, 2);
    });
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    QVERIFY(program.start());
    QCOMPARE(prompts.texts(), (std::vector<std::string>{kFirstRun, kFirstBackup, kNeverAsk}));
    QCOMPARE(driver.openings(), 1);
    QCOMPARE(program.session().settings.backuppath, addon->dir / "Backup");
    QCOMPARE(program.session().settings.fspath, simulator);
    QVERIFY(!vrx::test::PathExists(addon->dir / "Backup "));
}

void SettingsWindowTest::cancelAndTheCloseBoxEndTheProgram_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message");
    QTest::newRow("Cancel") << "cancel"
                            << "There are no Verdantis X settings available. Please restart Verdantis and make sure "
                               "you save the settings in the settings screen.";
    QTest::newRow("close box") << "close"
                               << "There are no Verdantis settings availble. Please restart Verdantis and make sure "
                                  "you save the settings in the settings screen.";
}

void SettingsWindowTest::cancelAndTheCloseBoxEndTheProgram() {
    QFETCH(QString, how);
    QFETCH(QString, message);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VRX_SETTINGS_CHILD"), how);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QStringList lines = output.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{"message: " + QString::fromStdString(kFirstRun), "message: " + message,
                                 QStringLiteral("settings.cfg: absent"), QStringLiteral("ended")}));
}

void SettingsWindowTest::theSettingsButtonOpensTheWindowModally() {
    auto addon = ColouredAddon();
    const std::string before = ReadFile(addon->app() + "/settings.cfg");
    GuiPrompts prompts;
    ScriptedDialogs dialogs;
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    QVERIFY(program.start());
    bool modal = false;
    QString backup;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int) {
        modal = window.isModal() && window.parentWidget() == &program.mainWindow();
        backup = Child<QLineEdit>(window, "lblBackup")->text();
        ClickLink(window, 1);
    });
    auto* button = program.mainWindow().findChild<QAbstractButton*>(QStringLiteral("Sidebar3"));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(driver.openings(), 1);
    QVERIFY(modal);
    QCOMPARE(backup, QString::fromStdString(addon->dir / "Backup"));
    QVERIFY(prompts.texts().empty());  // no "not available yet"
    QCOMPARE(ReadFile(addon->app() + "/settings.cfg"), before);
    QVERIFY(program.mainWindow().isVisible());
}

void SettingsWindowTest::designedSizeTabOrderAndHover_data() {
    QTest::addColumn<double>("ratio");
    QTest::newRow("100%") << 1.0;
    QTest::newRow("150%") << 1.5;
    QTest::newRow("200%") << 2.0;
}

void SettingsWindowTest::designedSizeTabOrderAndHover() {
    QFETCH(double, ratio);
    vrx::ScreenMetrics::SetDevicePixelRatioForTesting(ratio);
    auto addon = ColouredAddon();
    GuiPrompts prompts;
    ScriptedDialogs dialogs;
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    QVERIFY(program.start());
    QSize screenSize;
    QString firstFocus;
    QStringList tabOrder;
    bool highlightedOverLink = false, restAfterBackground = false;
    QColor restColour, highlightColour;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int) {
        screenSize = window.size() * ratio;
        QApplication::processEvents();
        firstFocus = window.focusWidget() != nullptr ? window.focusWidget()->objectName() : QString();
        QWidget* w = Child(window, "lblSelect0");
        for (int i = 0; i < 6; ++i, w = w->nextInFocusChain()) {
            while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
            tabOrder << w->objectName();
        }
        auto* save = Child<vrx::LinkLabel>(window, "lblSelect2");
        QTest::mouseMove(save, QPoint(3, 3));
        highlightedOverLink = save->isHighlighted();
        highlightColour = save->palette().color(QPalette::WindowText);
        QTest::mouseMove(&window, QPoint(window.width() / 2, window.height() - 3));
        restAfterBackground = !save->isHighlighted();
        restColour = save->palette().color(QPalette::WindowText);
        ClickLink(window, 1);
    });
    auto* button = program.mainWindow().findChild<QAbstractButton*>(QStringLiteral("Sidebar3"));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(driver.openings(), 1);
    // 8805 x 5070 twips are 587 x 338 screen pixels whatever the desktop's scale.
    QVERIFY2(std::abs(screenSize.width() - 587) <= 2 && std::abs(screenSize.height() - 338) <= 2,
             qPrintable(QStringLiteral("%1 x %2").arg(screenSize.width()).arg(screenSize.height())));
    QCOMPARE(firstFocus, QStringLiteral("lblBackup"));
    QCOMPARE(tabOrder, (QStringList{"lblSelect0", "lblSelect3", "lblBackup", "ChkAttrib", "lblSelect1", "lblSelect2"}));
    QVERIFY(highlightedOverLink);
    QCOMPARE(highlightColour, QColor(0xFF, 0xD0, 0x40));
    QVERIFY(restAfterBackground);
    QCOMPARE(restColour, QColor(0xE0, 0xE0, 0xD0));
}

void SettingsWindowTest::aLongPathIsShortenedInTheMiddleAndTheSelectLinksSayWhatTheySelect() {
    auto addon = ColouredAddon();
    GuiPrompts prompts;
    ScriptedDialogs dialogs;
    const QString longFolder =
        QString::fromStdString(addon->dir /
                               "Program Files (x86)/Steam/steamapps/compatdata/314160/pfx/drive_c/Program Files (x86)/"
                               "Microsoft Games/Microsoft Flight Simulator X Steam Edition");
    dialogs.file(vrx::FileDialogAnswer{{(longFolder + "/FSX.EXE").toStdString()}, 1});
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    QVERIFY(program.start());
    QString shortText, shortShown, text, shown, toolTip, readName;
    int shownWidth = 0, room = 0;
    bool drawnAsShown = false;
    QStringList names, descriptions;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int) {
        auto* path = Child<vrx::ElidedPathLabel>(window, "lblPath");
        shortText = path->text();
        shortShown = path->shownText();
        ClickLink(window, 0);  // the file dialog answers the long folder's FSX.EXE
        text = path->text();
        shown = path->shownText();
        toolTip = path->toolTip();
        shownWidth = path->fontMetrics().horizontalAdvance(shown);
        room = path->contentsRect().width() - path->indent();
        readName = QAccessible::queryAccessibleInterface(path)->text(QAccessible::Name);
        // What is drawn is the shortened text, as a plain label showing it draws it.
        QLabel plain(shown, &window);
        plain.setGeometry(path->geometry());
        plain.setFont(path->font());
        plain.setPalette(path->palette());
        plain.setAutoFillBackground(true);
        plain.setAlignment(path->alignment());
        plain.setIndent(path->indent());
        drawnAsShown = path->grab().toImage() == plain.grab().toImage();
        for (const char* link : {"lblSelect0", "lblSelect3"}) {
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(Child(window, link));
            names << read->text(QAccessible::Name);
            descriptions << read->text(QAccessible::Description);
        }
        ClickLink(window, 1);
    });
    QTest::mouseClick(program.mainWindow().findChild<QAbstractButton*>(QStringLiteral("Sidebar3")), Qt::LeftButton, {},
                      QPoint(5, 5));
    QCOMPARE(driver.openings(), 1);
    // A path that fits is shown whole.
    QCOMPARE(shortShown, shortText);
    QCOMPARE(shortText, QString::fromStdString(addon->fsx()));
    // A long one keeps its start and its last folder, with "…" between, and fits.
    QCOMPARE(text, longFolder);
    QVERIFY2(shown.contains(QStringLiteral("…")), qPrintable(shown));
    QVERIFY2(shown.startsWith(longFolder.left(12)), qPrintable(shown));
    QVERIFY2(shown.endsWith(QStringLiteral("Simulator X Steam Edition")), qPrintable(shown));
    QVERIFY2(shownWidth <= room, qPrintable(QStringLiteral("%1 > %2").arg(shownWidth).arg(room)));
    QVERIFY(drawnAsShown);
    // The whole path on hover and for a screen reader.
    QCOMPARE(toolTip, longFolder);
    QCOMPARE(readName, longFolder);
    // The links keep their caption as their name and say which folder they select.
    QCOMPARE(names, (QStringList{"Select", "Select"}));
    QCOMPARE(descriptions, (QStringList{"Browse to FSX.EXE for the path to Flight Simulator X",
                                        "Browse to an existing folder for your backups"}));
}

void SettingsWindowTest::qtFileDialogTakesTheClassesPropertiesAndMatchesAnyCase() {
    vrx::test::TempDir dir;
    WriteFile(dir / "Games/FSX/fsx.exe", "MZ");
    WriteFile(dir / "Games/FSX/readme.txt", "text");
    vrx::QtDialogs dialogs;
    vrx::CFileDialog fileDialog(dialogs);
    fileDialog.SetFilter("Text|*.txt|FSX.EXE|FSX.EXE");
    fileDialog.SetFilterIndex(2);
    fileDialog.SetDialogTitle("Find the simulator");
    fileDialog.SetInitDir(dir / "Games/FSX");
    QStringList listed;
    QString title, filter;
    QStringList filters;
    {
        ModalDriver driver("FileDialog", [&](QWidget& window, int) {
            auto& dialog = static_cast<QFileDialog&>(window);
            title = dialog.windowTitle();
            filters = dialog.nameFilters();
            filter = dialog.selectedNameFilter();
            listed = Listing(dialog, {"fsx.exe"});
            TypeFileName(dialog, QString::fromStdString(dir / "Games/FSX/fsx.exe"));
            Confirm(dialog);
        });
        fileDialog.ShowOpen();
    }
    QCOMPARE(title, QStringLiteral("Find the simulator"));
    QCOMPARE(filters, (QStringList{"Text (*.txt)", "FSX.EXE (FSX.EXE)"}));
    QCOMPARE(filter, QStringLiteral("FSX.EXE"));  // shown as the caller wrote it
    QCOMPARE(listed, QStringList{"fsx.exe"});
    QVERIFY(!fileDialog.Cancel());
    QCOMPARE(fileDialog.FileName(), dir / "Games/FSX/fsx.exe");
    QCOMPARE(fileDialog.FileTitle(), std::string("fsx.exe"));
    QCOMPARE(fileDialog.FilterIndex(), 2);

    // The filter the user last chose is read back.
    QStringList listedAfterFilter;
    {
        ModalDriver other("FileDialog", [&](QWidget& window, int) {
            auto& dialog = static_cast<QFileDialog&>(window);
            dialog.selectNameFilter(QStringLiteral("Text (*.txt)"));
            listedAfterFilter = Listing(dialog, {"readme.txt"});
            TypeFileName(dialog, QString::fromStdString(dir / "Games/FSX/readme.txt"));
            static_cast<QDialog&>(dialog).accept();
        });
        fileDialog.ShowOpen();
    }
    QCOMPARE(listedAfterFilter, QStringList{"readme.txt"});
    QCOMPARE(fileDialog.FilterIndex(), 1);
    QCOMPARE(QString::fromStdString(fileDialog.FileName()), QString::fromStdString(dir / "Games/FSX/readme.txt"));
    QCOMPARE(fileDialog.FileTitle(), std::string("readme.txt"));

    ModalDriver cancelled("FileDialog", [](QWidget& window, int) { static_cast<QFileDialog&>(window).reject(); });
    fileDialog.ShowOpen();
    QVERIFY(fileDialog.Cancel());
    QCOMPARE(fileDialog.FileName(), dir / "Games/FSX/readme.txt");
}

void SettingsWindowTest::qtFolderDialogOpensOnTheStartFolderAndReturnsNoSeparator() {
    vrx::test::TempDir dir;
    vrx::test::MakeDirs(dir / "VRX-Backup");
    vrx::test::MakeDirs(dir / "Chosen");
    vrx::QtDialogs dialogs;
    vrx::LinuxFileSystem fs;
    for (const std::string& start : {dir / "VRX-Backup", dir / "VRX-Backup/"}) {
        QString opened, title;
        ModalDriver driver("FolderDialog", [&](QWidget& window, int) {
            auto& dialog = static_cast<QFileDialog&>(window);
            opened = dialog.directory().absolutePath();
            title = dialog.windowTitle();
            // The user goes into the folder and confirms it.
            dialog.setDirectory(QString::fromStdString(dir / "Chosen"));
            Confirm(dialog);
        });
        QCOMPARE(QString::fromStdString(vrx::BrowseForFolder(dialogs, fs, start)),
                 QString::fromStdString(dir / "Chosen"));
        QCOMPARE(opened, QString::fromStdString(dir / "VRX-Backup"));
        QCOMPARE(title, QStringLiteral("Please select a folder..."));
    }
    ModalDriver cancelled("FolderDialog", [](QWidget& window, int) { static_cast<QFileDialog&>(window).reject(); });
    QCOMPARE(vrx::BrowseForFolder(dialogs, fs, dir / "VRX-Backup"), std::string());
}

// Whether image holds a pixel within 24 of colour in each channel.
static bool HasPixelNear(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= 24 && std::abs(c.green() - colour.green()) <= 24 &&
                std::abs(c.blue() - colour.blue()) <= 24) {
                return true;
            }
        }
    }
    return false;
}

// The simulator's folder and the backup folder show as the main window's
// area list does (its background, ListTextColor), not on the window's own colour.
void SettingsWindowTest::theFoldersArePaintedInTheAreaListsColours() {
    auto addon = ColouredAddon();
    GuiPrompts prompts;
    ScriptedDialogs dialogs;
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    QVERIFY(program.start());
    const QColor listBack(0xF0, 0xF0, 0xE0);
    const QColor listText(0x20, 0x20, 0x20);
    QImage path, backup;
    QColor pathText, backupBase, backupText, windowBack;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int) {
        QApplication::processEvents();
        auto* lblPath = Child<QLabel>(window, "lblPath");
        auto* lblBackup = Child<QLineEdit>(window, "lblBackup");
        // As drawn on the window.
        path = window.grab(lblPath->geometry()).toImage();
        backup = window.grab(lblBackup->geometry()).toImage();
        pathText = lblPath->palette().color(QPalette::WindowText);
        backupBase = lblBackup->palette().color(QPalette::Base);
        backupText = lblBackup->palette().color(QPalette::Text);
        windowBack = window.palette().color(QPalette::Window);
        ClickLink(window, 1);
    });
    auto* button = program.mainWindow().findChild<QAbstractButton*>(QStringLiteral("Sidebar3"));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(driver.openings(), 1);
    QCOMPARE(windowBack, QColor(0x2F, 0x4F, 0x3F));
    QVERIFY(!path.isNull());
    // The path is short: the label's right end is bare background.
    QCOMPARE(path.pixelColor(path.width() - 2, path.height() / 2), listBack);
    QCOMPARE(path.pixelColor(1, 1), listBack);
    QCOMPARE(pathText, listText);
    QVERIFY(HasPixelNear(path, listText));
    QCOMPARE(backup.pixelColor(backup.width() - 6, backup.height() / 2), listBack);
    QCOMPARE(backupBase, listBack);
    QCOMPARE(backupText, listText);  // its text opens selected, in the selection's colours
}

void SettingsWindowTest::qtFileDialogShowsHiddenFoldersAndTheSearchsPlaces() {
    const PickerMachine m;
    // A dialog without places first, for the panel width Qt keeps of its own.
    {
        vrx::QtDialogs plain;
        ModalDriver driver("FileDialog", [](QWidget& window, int) { static_cast<QFileDialog&>(window).reject(); });
        plain.chooseFile(vrx::FileDialogRequest{});
    }
    const int ownWidth = SavedSidePanelWidth();
    vrx::QtDialogs dialogs([&] { return m.places; });
    vrx::CFileDialog fileDialog(dialogs);
    fileDialog.SetFilter("FSX.EXE|FSX.EXE");
    QString opened, afterClick;
    QStringList panel, homeListing, panelWhileOpen;
    bool namesFit = false;
    {
        ModalDriver driver("FileDialog", [&](QWidget& window, int) {
            auto& dialog = static_cast<QFileDialog&>(window);
            opened = dialog.directory().absolutePath();
            panel = SidePanel(dialog, {"Wine: .wine", "Steam: lib", "Lutris: microsoft-flight-simulator-x"});
            namesFit = SidePanelNamesFit(dialog);
            dialog.setDirectory(QString::fromStdString(m.home));
            homeListing = Listing(dialog, {".local", ".wine", "Documents", "Games"});
            ClickSidePanel(dialog, QStringLiteral("Wine: .wine"));
            afterClick = dialog.directory().absolutePath();
            // Qt renames entries as their folders change; the names stay.
            panelWhileOpen = SidePanel(dialog, {"Wine: .wine", "Steam: lib", "Lutris: microsoft-flight-simulator-x"});
            TypeFileName(dialog, m.program);
            Confirm(dialog);
        });
        fileDialog.ShowOpen();
    }
    QCOMPARE(opened, QString::fromStdString(m.games));
    QVERIFY2(panel.size() >= 3, qPrintable(panel.join('\n')));
    QCOMPARE(panel.mid(panel.size() - 3), m.entries());
    QVERIFY(namesFit);
    QCOMPARE(homeListing, (QStringList{".local", ".wine", "Documents", "Games"}));
    QCOMPARE(afterClick, QString::fromStdString(m.home + "/.wine/drive_c"));
    QCOMPARE(panelWhileOpen.mid(panelWhileOpen.size() - 3), m.entries());
    // What the dialog returns is what it always returned.
    QVERIFY(!fileDialog.Cancel());
    QCOMPARE(fileDialog.FileName(), m.program);
    QCOMPARE(fileDialog.FileTitle(), std::string("fsx.exe"));

    // The next opening starts at the file chosen last, not at the likely folder.
    QString reopened;
    {
        ModalDriver driver("FileDialog", [&](QWidget& window, int) {
            reopened = static_cast<QFileDialog&>(window).directory().absolutePath();
            static_cast<QFileDialog&>(window).reject();
        });
        fileDialog.ShowOpen();
    }
    QCOMPARE(reopened, QString::fromStdString(m.games + "/Microsoft Flight Simulator X"));
    // Qt keeps the side panel for every Qt program of the user: ours is not kept.
    const QStringList saved = SavedSidePanel();
    QVERIFY(!saved.isEmpty());  // the dialog did keep its own
    QVERIFY2(!saved.contains(QUrl::fromLocalFile(QString::fromStdString(m.home + "/.wine/drive_c")).toString()),
             qPrintable(saved.join(' ')));
    QVERIFY2(!saved.contains(QUrl::fromLocalFile(QString::fromStdString(m.dir / "lib/steamapps/common")).toString()),
             qPrintable(saved.join(' ')));
    QVERIFY(ownWidth > 0);
    QCOMPARE(SavedSidePanelWidth(), ownWidth);
}

void SettingsWindowTest::qtFolderDialogShowsHiddenFoldersAndTheSearchsPlaces() {
    const PickerMachine m;
    vrx::test::MakeDirs(m.dir / "VRX-Backup");
    vrx::QtDialogs dialogs([&] { return m.places; });
    vrx::LinuxFileSystem fs;
    QString opened, afterClick;
    QStringList panel, homeListing;
    ModalDriver driver("FolderDialog", [&](QWidget& window, int) {
        auto& dialog = static_cast<QFileDialog&>(window);
        opened = dialog.directory().absolutePath();
        panel = SidePanel(dialog, {"Wine: .wine", "Steam: lib", "Lutris: microsoft-flight-simulator-x"});
        dialog.setDirectory(QString::fromStdString(m.home));
        homeListing = Listing(dialog, {".local", ".wine", "Documents", "Games"});
        ClickSidePanel(dialog, QStringLiteral("Steam: lib"));
        afterClick = dialog.directory().absolutePath();
        Confirm(dialog);
    });
    QCOMPARE(QString::fromStdString(vrx::BrowseForFolder(dialogs, fs, m.dir / "VRX-Backup")),
             QString::fromStdString(m.dir / "lib/steamapps/common"));
    // The backup folder's dialog still opens on the backup folder.
    QCOMPARE(opened, QString::fromStdString(m.dir / "VRX-Backup"));
    QVERIFY2(panel.size() >= 3, qPrintable(panel.join('\n')));
    QCOMPARE(panel.mid(panel.size() - 3), m.entries());
    QCOMPARE(homeListing, (QStringList{".local", ".wine", "Documents", "Games"}));
    QCOMPARE(afterClick, QString::fromStdString(m.dir / "lib/steamapps/common"));
}

void SettingsWindowTest::theSimulatorsSelectOpensWhereALaunchersPrefixHoldsIt() {
    // The simulator copied into a bottle under a folder name of the user's
    // own, unregistered: the search proposes nothing, and the program's own
    // file dialog opens in the bottle's Microsoft Games, the bottle in its side panel.
    auto addon = FirstStartAddon();
    const std::string bottle = addon->dir / "home/.local/share/bottles/bottles/FSX";
    const std::string games = bottle + "/drive_c/Program Files (x86)/Microsoft Games";
    WriteFile(games + "/FSX Gold/FSX.EXE", "MZ");
    GuiPrompts prompts;
    QString pathBefore, pathChosen, opened;
    QStringList panel;
    ModalDriver files("FileDialog", [&](QWidget& window, int) {
        auto& dialog = static_cast<QFileDialog&>(window);
        opened = dialog.directory().absolutePath();
        panel = SidePanel(dialog, {"Bottles: FSX"});
        TypeFileName(dialog, games + "/FSX Gold/FSX.EXE");
        Confirm(dialog);
    });
    ModalDriver settings("Settings_Form", [&](QWidget& window, int) {
        pathBefore = Child<QLabel>(window, "lblPath")->text();
        ClickLink(window, 0);
        pathChosen = Child<QLabel>(window, "lblPath")->text();
        ClickLink(window, 1);
    });
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, nullptr});
    QVERIFY(!program.start());
    QCOMPARE(pathBefore, QString());
    QCOMPARE(opened, QString::fromStdString(games));
    QVERIFY2(panel.contains(QString::fromStdString("Bottles: FSX = " + bottle + "/drive_c")),
             qPrintable(panel.join('\n')));
    QCOMPARE(pathChosen, QString::fromStdString(games + "/FSX Gold"));
}

// The child process: the program's own start, with Cancel or the close box
// used on the first-run settings window; it prints what it showed and how it ended.
static int RunChild(const QString& how) {
    auto addon = FirstStartAddon();
    RegisterInWinePrefix(*addon);
    struct PrintingPrompts final : vrx::Prompts {
        void message(const std::string& text, const std::string&) override {
            std::printf("message: %s\n", text.c_str());
        }
        bool askYesNo(const std::string& text, const std::string&) override {
            std::printf("question: %s\n", text.c_str());
            return false;
        }
        bool askOkCancel(const std::string& text, const std::string&) override {
            std::printf("question: %s\n", text.c_str());
            return false;
        }
    } prompts;
    ScriptedDialogs dialogs;
    ModalDriver driver("Settings_Form", [&](QWidget& window, int) {
        if (how == QStringLiteral("cancel")) {
            ClickLink(window, 1);
        } else {
            window.close();
        }
    });
    vrx::Program program(addon->app(), vrx::ProgramServices{&prompts, nullptr, nullptr, &dialogs});
    // As main() does: the program runs on only when start-up shows the main window.
    const bool shown = program.start();
    std::printf("settings.cfg: %s\n", vrx::test::PathExists(addon->app() + "/settings.cfg") ? "present" : "absent");
    if (!shown) {
        std::printf("ended\n");
        std::fflush(stdout);
        return 0;
    }
    std::printf("main window shown\n");
    std::fflush(stdout);
    return QApplication::exec();
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (const char* child = std::getenv("VRX_SETTINGS_CHILD")) {
        unsetenv("VRX_SETTINGS_CHILD");
        return RunChild(QString::fromUtf8(child));
    }
    SettingsWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settingswindow.moc"
