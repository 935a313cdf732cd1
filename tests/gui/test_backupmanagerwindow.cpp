// The backup manager on the offscreen platform, opened from the sidebar as
// the user opens it: its links and check box, the disabled restore link,
// the confirmations, the load failure, and runs whose outcome is read from
// the real backup folder, simulator folder and history file.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/BackupManagerWindow.h"
#include "app/LinkLabel.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/QtStatusView.h"
#include "app/StatusWindowWidget.h"
#include "gui/GuiSupport.h"
#include "session/Session.h"
#include "support/TempDir.h"

using vrx::test::AddonFolder;
using vrx::test::AreaLine;
using vrx::test::GuiPrompts;
using vrx::test::ReadFile;
using vrx::test::WriteFile;

namespace {

constexpr const char* kColours =
    "ControlBackColor=F0E8D0\r\nFormBackColor=203828\r\nTextForeColor=E8F0E0\r\n"
    "TextHighlightColor=FFC040\r\nListTextColor=102010\r\nVRXVersion=Sample Scenery 2\r\n";
const QColor kFormBack(0x20, 0x38, 0x28);
const QColor kTextFore(0xE8, 0xF0, 0xE0);

constexpr const char* kMainText =
    "You are about to backup original textures that are currently installed in Flight Simulator. You will lose "
    "current backups if the Skip option is unchecked. Are you sure you want to continue?";
constexpr const char* kCancelQuestion = "Are you sure you want to cancel this action?";

using Window = vrx::BackupManagerWindow;
using Step = std::function<void(Window&)>;

// The mouse moved over widget. Sent straight to it: the offscreen platform
// hands cursor moves to the first window under the cursor, which is the
// main window under the modal one.
void Hover(QWidget* widget) {
    const QPoint at(4, 4);
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Runs step on the backup manager as soon as it has been shown (from the
// event loop of its modal run), whoever opens it.
class ShowWatch : public QObject {
public:
    explicit ShowWatch(Step step) : step_(std::move(step)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<Window*>(watched);
        if (window != nullptr && event->type() == QEvent::Show && !seen) {
            seen = true;
            QTimer::singleShot(0, window, [this, window] {
                if (QTest::qWaitForWindowExposed(window)) step_(*window);
                // A failed check inside the step must not leave the modal window open.
                if (QTest::currentTestFailed() && window->isVisible()) window->close();
            });
            // A window that should have closed by itself and did not is closed here, and the test told.
            QTimer::singleShot(kForcedCloseMs, window, [this, window] {
                forcedClose = true;
                window->close();
            });
        }
        return false;
    }
    bool seen = false;
    bool forcedClose = false;

private:
    static constexpr int kForcedCloseMs = 20000;
    Step step_;
};

}  // namespace

class BackupManagerWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AddonFolder> addon;
    GuiPrompts prompts;
    std::unique_ptr<vrx::Program> program;

    std::string backup() const { return addon->dir / "Backup"; }
    std::string texture() const { return addon->fsx() + "/Texture"; }

    // An add-on whose backup list names a.bmp and b.bmp, with the simulator's own copies.
    bool start() {
        addon = std::make_unique<AddonFolder>();
        addon->WriteMediaPictures();
        addon->WriteCatalogue({AreaLine(1)});
        addon->WriteUiCfg(kColours);
        addon->WriteText("backup.lst", "3\r\na.bmp\r\nb.bmp\r\nend\r\n");
        WriteFile(texture() + "/a.bmp", "sim a");
        WriteFile(texture() + "/b.bmp", "sim b");
        program = std::make_unique<vrx::Program>(addon->app(), vrx::ProgramServices{&prompts});
        return program->start() && QTest::qWaitForWindowExposed(&program->mainWindow());
    }

    // 400 textures in the simulator, all listed for backup.
    void writeLongBackupList() {
        std::string list = "401\r\n";
        for (int i = 0; i < 400; ++i) {
            const std::string name = "t" + std::to_string(i) + ".bmp";
            list += name + "\r\n";
            WriteFile(texture() + "/" + name, "sim " + name);
        }
        addon->WriteText("backup.lst", list + "end\r\n");
    }

    // Clicks "Backups" in the sidebar and, once the manager is up, runs step
    // on it; returns when the manager and the action it started have ended.
    // False when the manager never came up.
    bool openBackups(const Step& step) {
        ShowWatch watch(step);
        qApp->installEventFilter(&watch);
        QTest::mouseClick(program->mainWindow().findChild<QWidget*>("Sidebar1"), Qt::LeftButton);
        qApp->removeEventFilter(&watch);
        return watch.seen && !watch.forcedClose;
    }
    static vrx::LinkLabel* link(Window& w, int index) {
        return w.findChild<vrx::LinkLabel*>(QStringLiteral("lblSelect%1").arg(index));
    }
    static void clickLink(Window& w, int index) { QTest::mouseClick(link(w, index), Qt::LeftButton, {}, QPoint(4, 4)); }
    QStringList historyLines() const {
        const std::string path = addon->app() + "/history.txt";
        if (!std::filesystem::exists(path)) return {};
        QStringList lines = QString::fromStdString(ReadFile(path)).split("\r\n");
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        return lines;
    }

private slots:
    void init() { prompts = GuiPrompts(); }
    void cleanup() {
        program.reset();
        addon.reset();
    }

    void windowAsLoaded() {
        QVERIFY(start());
        QVERIFY(openBackups([](Window& w) {
            QCOMPARE(w.objectName(), QString("Backup_Form"));
            QCOMPARE(w.windowTitle(), QString("Verdantis Backup Manager"));
            QVERIFY(w.isModal());
            // 7950 x 5070 twips at 96 DPI.
            QCOMPARE(w.size(), QSize(530, 338));
            QCOMPARE(w.palette().color(QPalette::Window), kFormBack);
            for (const char* name : {"Label1", "Label2", "ChkSkip"}) {
                QCOMPARE(w.findChild<QWidget*>(name)->palette().color(QPalette::WindowText), kTextFore);
            }
            QCOMPARE(w.findChild<QLabel*>("Label1")->text(), QString("Create Backup Files"));
            QCOMPARE(w.findChild<QLabel*>("Label2")->text(), QString("Restore Backup Files"));
            const char* captions[] = {"Re-Initialize Main Backup Procedure", "Create Alternate Backup Set", "Close",
                                      "Restore Alternate Backups", "Restore Original Backup Files"};
            for (int i = 0; i < 5; ++i) QCOMPARE(link(w, i)->text(), QString(captions[i]));
            auto* skip = w.findChild<QCheckBox*>("ChkSkip");
            QCOMPARE(skip->text(), QString("Skip Already Backed-Up Files"));
            QVERIFY(skip->isChecked());
            // Placed from the design (2055, 900, 3780 x 270 twips), widened about
            // its centre where the caption needs more room than designed.
            QCOMPARE(link(w, 0)->y(), 60);
            QCOMPARE(link(w, 0)->height(), 18);
            QVERIFY(std::abs(link(w, 0)->geometry().center().x() - 262) <= 1);
            for (int i = 0; i < 5; ++i) {
                QVERIFY(link(w, i)->width() >= link(w, i)->sizeHint().width());
                QVERIFY(w.rect().contains(link(w, i)->geometry()));
            }
            QVERIFY(skip->width() >= skip->sizeHint().width());
            // Opens on the first link; Tab goes down the window in reading order.
            QCOMPARE(w.focusWidget(), link(w, 0));
            QStringList order;
            for (QWidget* next = link(w, 0); order.size() < 6; next = next->nextInFocusChain()) {
                if (next->focusPolicy() & Qt::TabFocus) order << next->objectName();
            }
            QCOMPARE(order,
                     (QStringList{"lblSelect0", "lblSelect1", "ChkSkip", "lblSelect4", "lblSelect3", "lblSelect2"}));
            w.close();
        }));
        QVERIFY(prompts.shown.empty());
        QVERIFY(historyLines().isEmpty());
    }

    // The focus rests on the first link without a mark, as in the other
    // windows; the mark comes with the keyboard: Tab, or a key on the link.
    void opensWithoutAFocusMark() {
        QVERIFY(start());
        QVERIFY(openBackups([](Window& w) {
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(link(w, 0)));
            QTest::qWait(100);
            QVERIFY(!link(w, 0)->showsFocusMark());
            QTest::keyClick(link(w, 0), Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(link(w, 1)));
            QVERIFY(link(w, 1)->showsFocusMark());
            QTest::keyClick(link(w, 1), Qt::Key_Backtab);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(link(w, 0)));
            QVERIFY(link(w, 0)->showsFocusMark());
            w.close();
        }));
        QVERIFY(prompts.shown.empty());
    }

    void restoreAlternateEnabledOnlyOnceAnAlternateSetExists() {
        QVERIFY(start());
        QVERIFY(openBackups([](Window& w) {
            QVERIFY(!link(w, 3)->isEnabled());
            QVERIFY(link(w, 4)->isEnabled());
            // No highlight on the disabled link; an enabled one takes it.
            Hover(link(w, 3));
            QVERIFY(!link(w, 3)->isHighlighted());
            Hover(link(w, 4));
            QVERIFY(link(w, 4)->isHighlighted());
            Hover(&w);
            QVERIFY(!link(w, 4)->isHighlighted());
            // No "*.vrb" yet: the alternate set is made without a question.
            clickLink(w, 1);
        }));
        QVERIFY(prompts.shown.empty());
        QCOMPARE(ReadFile(backup() + "/a.bmp.VRB"), std::string("sim a"));
        QCOMPARE(ReadFile(backup() + "/b.bmp.VRB"), std::string("sim b"));
        QCOMPARE(historyLines().size(), 1);
        QVERIFY(historyLines()[0].endsWith(" - Backup Action 1.08 - Created Alternate Backup Files"));

        QVERIFY(openBackups([](Window& w) {
            QVERIFY(link(w, 3)->isEnabled());
            Hover(link(w, 3));
            QVERIFY(link(w, 3)->isHighlighted());
            // The check box starts checked at every opening.
            QVERIFY(w.findChild<QCheckBox*>("ChkSkip")->isChecked());
            w.close();
        }));
    }

    void reinitializeMain_data() {
        QTest::addColumn<bool>("bmpPresent");
        QTest::addColumn<bool>("answer");
        QTest::newRow("empty folder starts at once") << false << false;
        QTest::newRow("bmp present, Yes") << true << true;
        QTest::newRow("bmp present, No changes nothing") << true << false;
    }
    void reinitializeMain() {
        QFETCH(bool, bmpPresent);
        QFETCH(bool, answer);
        QVERIFY(start());
        if (bmpPresent) WriteFile(backup() + "/old.bmp", "old");
        if (bmpPresent) prompts.answers.push_back(answer);
        QVERIFY(openBackups([](Window& w) { clickLink(w, 0); }));

        QCOMPARE(prompts.unexpected, 0);
        if (bmpPresent) {
            QCOMPARE(prompts.shown.size(), size_t(1));
            QCOMPARE(prompts.shown[0].text, std::string(kMainText));
            QCOMPARE(prompts.shown[0].title, std::string("IMPORTANT!"));
            QVERIFY(prompts.shown[0].question);
        } else {
            QVERIFY(prompts.shown.empty());
        }
        const bool ran = !bmpPresent || answer;
        QCOMPARE(std::filesystem::exists(backup() + "/a.bmp"), ran);
        QCOMPARE(std::filesystem::exists(backup() + "/b.bmp"), ran);
        if (bmpPresent) QCOMPARE(ReadFile(backup() + "/old.bmp"), std::string("old"));
        QCOMPARE(historyLines().size(), ran ? 1 : 0);
        if (ran) QVERIFY(historyLines()[0].endsWith(" - Backup Action 1.08 - Created Main Backup Files"));
    }

    void skipCheckBoxDecidesOverwriting_data() {
        QTest::addColumn<bool>("skip");
        QTest::newRow("checked keeps backups") << true;
        QTest::newRow("unchecked overwrites every copy") << false;
    }
    void skipCheckBoxDecidesOverwriting() {
        QFETCH(bool, skip);
        QVERIFY(start());
        WriteFile(backup() + "/a.bmp", "old a");
        WriteFile(backup() + "/b.bmp", "");  // empty: replaced either way
        prompts.answers.push_back(true);
        QVERIFY(openBackups([skip](Window& w) {
            if (!skip) QTest::mouseClick(w.findChild<QCheckBox*>("ChkSkip"), Qt::LeftButton);
            clickLink(w, 0);
        }));
        QCOMPARE(prompts.texts(), std::vector<std::string>{kMainText});
        QCOMPARE(ReadFile(backup() + "/a.bmp"), std::string(skip ? "old a" : "sim a"));
        QCOMPARE(ReadFile(backup() + "/b.bmp"), std::string("sim b"));
        QCOMPARE(program->session().skipExistingBackups, skip);
        QCOMPARE(historyLines().size(), 1);
    }

    void closeRecordsTheCheckBoxOnly() {
        QVERIFY(start());
        program->session().skipExistingBackups = true;
        QVERIFY(openBackups([](Window& w) {
            QTest::mouseClick(w.findChild<QCheckBox*>("ChkSkip"), Qt::LeftButton);
            clickLink(w, 2);
        }));
        QVERIFY(!program->session().skipExistingBackups);
        QVERIFY(prompts.shown.empty());
        QVERIFY(historyLines().isEmpty());
        QVERIFY(!std::filesystem::exists(backup() + "/a.bmp"));
    }

    void restoreOriginalPutsTheBackupBack() {
        QVERIFY(start());
        WriteFile(backup() + "/a.bmp", "bak a");
        prompts.answers.push_back(true);
        QVERIFY(openBackups([](Window& w) { clickLink(w, 4); }));
        QCOMPARE(prompts.texts(),
                 std::vector<std::string>{"Are you sure you want to restore your original backup files? Your currently "
                                          "installed textures will be overwritten with the original backup textures."});
        QCOMPARE(prompts.shown[0].title, std::string("IMPORTANT!"));
        QCOMPARE(ReadFile(texture() + "/a.bmp"), std::string("bak a"));
        QCOMPARE(ReadFile(texture() + "/b.bmp"), std::string("sim b"));
        QCOMPARE(historyLines().size(), 1);
        QVERIFY(historyLines()[0].endsWith(" - Backup Action 1.08 - Restored Main Texture Backup"));
    }

    void loadFailureClosesTheWindowByItself() {
        QVERIFY(start());
        // A folder that cannot be searched: a link to itself.
        const std::string loop = addon->dir / "loop";
        std::filesystem::create_symlink(loop, loop);
        program->session().settings.backuppath = loop;
        bool shownAfterMessage = false;
        // Nothing closes the window here: it must close itself.
        QVERIFY(openBackups([this, &shownAfterMessage](Window&) { shownAfterMessage = !prompts.shown.empty(); }));
        QVERIFY(shownAfterMessage);
        QCOMPARE(prompts.texts(),
                 std::vector<std::string>{
                     "Your backup path is invalid. Please correct this in the Settings screen before proceeding."});
        QCOMPARE(prompts.shown[0].title, std::string("Verdantis"));
        QVERIFY(!prompts.shown[0].question);
        QVERIFY(historyLines().isEmpty());
    }

    // As during an install, the commands that would start another long action
    // are off while the manager's action runs, and on again after it.
    void runCommandsAreOffWhileAnActionRuns() {
        QVERIFY(start());
        // A list long enough that the status window is seen while the run goes on.
        writeLongBackupList();
        vrx::MainWindow& main = program->mainWindow();
        QWidget* install = main.findChild<QWidget*>("Sidebar5");
        QWidget* backups = main.findChild<QWidget*>("Sidebar1");
        QWidget* help = main.findChild<QWidget*>("Sidebar0");
        vrx::StatusWindowWidget& status = program->statusView().widget();
        bool seenRunning = false;
        bool installOn = true, backupsOn = true, helpOn = false;
        QTimer watcher;
        watcher.setInterval(1);
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (!status.isVisible() || seenRunning) return;
            seenRunning = true;
            installOn = install->isEnabled();
            backupsOn = backups->isEnabled();
            helpOn = help->isEnabled();
        });
        watcher.start();
        QVERIFY(openBackups([](Window& w) { clickLink(w, 0); }));
        watcher.stop();
        QVERIFY(seenRunning);
        QVERIFY(!installOn);
        QVERIFY(!backupsOn);
        QVERIFY(helpOn);  // the other sidebar buttons stay usable
        QVERIFY(prompts.shown.empty());
        QCOMPARE(historyLines().size(), 1);
        QVERIFY(install->isEnabled());
        QVERIFY(backups->isEnabled());
    }

    void cancelledRunWritesNoLine() {
        QVERIFY(start());
        // A list long enough that the close box is used while the run goes on.
        writeLongBackupList();
        prompts.answers.push_back(true);  // cancel: Yes
        vrx::StatusWindowWidget& status = program->statusView().widget();
        QTimer closer;
        closer.setInterval(1);
        connect(&closer, &QTimer::timeout, this, [&] {
            if (!status.isVisible()) return;
            closer.stop();
            status.close();
        });
        closer.start();
        QVERIFY(openBackups([](Window& w) { clickLink(w, 0); }));
        QCOMPARE(prompts.texts(), std::vector<std::string>{kCancelQuestion});
        QVERIFY(!status.isVisible());
        QVERIFY(historyLines().isEmpty());
        // Stopped part way: not every copy was made.
        int copies = 0;
        for (const auto& entry : std::filesystem::directory_iterator(backup())) copies += entry.is_regular_file();
        QVERIFY2(copies < 400, qPrintable(QString::number(copies)));
    }
};

QTEST_MAIN(BackupManagerWindowTest)
#include "test_backupmanagerwindow.moc"
