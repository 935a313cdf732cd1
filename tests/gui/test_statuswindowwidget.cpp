// The status window on the offscreen platform: its layout and colours, a full
// install from the sample add-on watched through the window, and a cancel
// through the window's close box.

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ProgressBarWidget.h"
#include "app/QtStatusView.h"
#include "app/StatusWindowWidget.h"
#include "gui/GuiSupport.h"
#include "progress/StatusWindow.h"
#include "support/TempDir.h"

using vrx::test::AddonFolder;
using vrx::test::AreaLine;
using vrx::test::GuiPrompts;

namespace {

// What the status window showed, sampled at every pass of pending events.
struct Watch {
    QStringList actions;
    QStringList percents;
    QStringList captions;
    int passes = 0;

    void sample(vrx::StatusWindowWidget& w) {
        ++passes;
        const auto add = [](QStringList& list, const QString& text) {
            if (list.isEmpty() || list.back() != text) list.push_back(text);
        };
        if (!w.isVisible()) return;
        add(actions, w.actionLabel().text());
        add(percents, w.bar().percentText());
        add(captions, w.bar().captionText());
    }
};

struct AreaFolders {
    std::string source;
    std::string target;
};

// The source and target folders of a catalogue's area lines, with "/" for "\\".
std::vector<AreaFolders> CatalogueAreas(const std::string& file) {
    std::vector<AreaFolders> areas;
    const QStringList lines = QString::fromStdString(vrx::test::ReadFile(file)).split("\r\n");
    const int count = lines.value(0).trimmed().toInt();
    for (int i = 1; i <= count; ++i) {
        const QStringList fields = lines.value(i).split('|');
        areas.push_back(
            {fields.value(2).replace('\\', '/').toStdString(), fields.value(5).replace('\\', '/').toStdString()});
    }
    return areas;
}

int FilesIn(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
    return count;
}

}  // namespace

class StatusWindowWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void layoutTitleAndColours() {
        vrx::QtStatusView view;
        vrx::StatusWindowWidget& window = view.widget();
        QCOMPARE(window.windowTitle(), QString("Status"));
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        // 15 twips per pixel on this 96 DPI screen.
        QCOMPARE(window.size(), QSize(718, 119));
        QCOMPARE(window.findChild<QLabel*>("lblAction")->geometry(), QRect(25, 16, 670, 20));
        QCOMPARE(window.findChild<vrx::ProgressBarWidget*>("ProgressBar1")->geometry(), QRect(26, 50, 668, 54));
        QCOMPARE(window.actionLabel().text(), QString("Label1"));

        view.setColours(vrx::MakeColour(0x20, 0x38, 0x28), vrx::MakeColour(0xE8, 0xF0, 0xE0));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(0x20, 0x38, 0x28));
        QCOMPARE(window.actionLabel().palette().color(QPalette::WindowText), QColor(0xE8, 0xF0, 0xE0));
        const QImage bar = window.bar().grab().toImage();
        QCOMPARE(bar.pixelColor(600, 4), QColor(0x20, 0x38, 0x28));  // the trough takes the window's colour
        QCOMPARE(bar.pixelColor(0, 10), QColor(0, 0, 0));            // the frame keeps its own

        auto* timer = window.findChild<QTimer*>("Timer1");
        QVERIFY(timer != nullptr);
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(!timer->isActive());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(timer->isActive());
        view.hide();
        QVERIFY(!timer->isActive());
    }

    void fullInstallFromTheSampleAddon() {
        namespace fs = std::filesystem;
        AddonFolder folder;
        const fs::path sample(VRX_SAMPLE_DIR);
        QVERIFY2(fs::exists(sample / "addon/vrx.cfg"), "the sample add-on has not been generated");
        fs::copy(sample / "addon", folder.app(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::copy(sample / "FSX", folder.fsx(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);

        GuiPrompts prompts;
        vrx::Program program(folder.app(), vrx::ProgramServices{&prompts});
        QVERIFY(program.start());
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));
        auto* list = program.mainWindow().findChild<QListWidget*>("List1");
        QTest::mouseClick(program.mainWindow().findChild<QWidget*>("lblSelect0"), Qt::LeftButton, {}, QPoint(3, 3));
        const int areas = list->count();
        QVERIFY(areas >= 2);

        vrx::StatusWindowWidget& window = program.statusView().widget();
        Watch watch;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] { watch.sample(window); });
        sampler.start(0);
        QTest::mouseClick(program.mainWindow().findChild<QWidget*>("Sidebar5"), Qt::LeftButton, {}, QPoint(20, 20));
        sampler.stop();

        QVERIFY(prompts.shown.empty());
        QVERIFY(!window.isVisible());
        QVERIFY(watch.actions.contains("Copying Verdantis files..."));
        QCOMPARE(window.actionLabel().text(), QString("Files successfully copied!"));
        QCOMPARE(window.bar().percentText(), QString("100%"));
        QCOMPARE(window.bar().captionText(), QString());
        const QRegularExpression percent("^(100|[1-9]?[0-9])%$");
        for (const QString& p : watch.percents) {
            if (p != "#" && !p.isEmpty()) QVERIFY2(percent.match(p).hasMatch(), qPrintable(p));
        }

        // Every area's files landed, byte for byte; one history line per area.
        const std::string history = vrx::test::ReadFile(folder.app() + "/history.txt");
        for (int row = 0; row < areas; ++row) {
            const std::string name = list->item(row)->text().toStdString();
            QVERIFY2(history.find(" - Installed version 1.08 - " + name + "\r\n") != std::string::npos, name.c_str());
        }
        // Areas are copied in list order, so where two hold a file of the same
        // name for the same folder, the later one's bytes are expected.
        std::map<std::string, std::string> expected;
        for (const auto& line : CatalogueAreas(folder.app() + "/vrx.cfg")) {
            for (const auto& entry : fs::directory_iterator(folder.app() + "/" + line.source)) {
                if (!entry.is_regular_file()) continue;
                expected[folder.fsx() + "/" + line.target + "/" + entry.path().filename().string()] =
                    vrx::test::ReadFile(entry.path().string());
            }
        }
        QVERIFY(!expected.empty());
        for (const auto& [target, bytes] : expected) {
            QVERIFY2(fs::exists(target), target.c_str());
            QVERIFY2(vrx::test::ReadFile(target) == bytes, target.c_str());
        }
    }

    // The status window takes the main window's background (FormBackColor),
    // not the list's (ControlBackColor), as seen while an install runs.
    void paintedInFormBackColorDuringAnInstall() {
        AddonFolder folder;
        folder.WriteMediaPictures();
        folder.WriteCatalogue({AreaLine(1)}, 30);
        folder.WriteUiCfg(
            "ControlBackColor=F0E8D0\r\nFormBackColor=203828\r\nTextForeColor=E8F0E0\r\n"
            "TextHighlightColor=FFC040\r\nListTextColor=102010\r\n");
        GuiPrompts prompts;
        vrx::Program program(folder.app(), vrx::ProgramServices{&prompts});
        QVERIFY(program.start());
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));

        vrx::StatusWindowWidget& window = program.statusView().widget();
        QList<QColor> corners;
        QList<QColor> troughs;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (!window.isVisible() || corners.size() >= 3) return;
            const QImage drawn = window.grab().toImage();
            corners.push_back(drawn.pixelColor(2, 2));
            const QRect bar = window.bar().geometry();
            troughs.push_back(drawn.pixelColor(bar.right() - 20, bar.top() + 6));
        });
        sampler.start(0);
        QTest::mouseClick(program.mainWindow().findChild<QWidget*>("Sidebar5"), Qt::LeftButton, {}, QPoint(20, 20));
        sampler.stop();

        QVERIFY(!corners.isEmpty());
        for (const QColor& colour : corners) QCOMPARE(colour, QColor(0x20, 0x38, 0x28));
        for (const QColor& colour : troughs) QCOMPARE(colour, QColor(0x20, 0x38, 0x28));
        QCOMPARE(window.actionLabel().palette().color(QPalette::WindowText), QColor(0xE8, 0xF0, 0xE0));
        QVERIFY(prompts.shown.empty());
    }

    void barRepaintsAtTheScreensPaceNotPerFile() {
        AddonFolder folder;
        folder.WriteMediaPictures();
        folder.WriteCatalogue({AreaLine(1)}, 600);
        GuiPrompts prompts;
        vrx::Program program(folder.app(), vrx::ProgramServices{&prompts});
        QVERIFY(program.start());
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));

        // Counts the bar's paints while the files are copied.
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::Paint) ++paints;
                return false;
            }
        } counter;
        vrx::ProgressBarWidget& bar = program.statusView().widget().bar();
        bar.installEventFilter(&counter);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(program.mainWindow().findChild<QWidget*>("Sidebar5"), Qt::LeftButton, {}, QPoint(20, 20));
        const qint64 elapsedMs = clock.elapsed();

        QCOMPARE(FilesIn(folder.fsx() + "/Texture"), 600);
        QCOMPARE(bar.percentText(), QString("100%"));
        // At most one paint per frame (plus the first and the last), however many files.
        const double frameMs = 1000.0 / std::max(1.0, program.mainWindow().screen()->refreshRate());
        QVERIFY2(counter.paints <= elapsedMs / frameMs + 3,
                 qPrintable(QString("%1 paints in %2 ms").arg(counter.paints).arg(elapsedMs)));
        QVERIFY(counter.paints < 600);
    }

    void cancelAnsweredNoThenYesThroughTheCloseBox() {
        AddonFolder folder;
        folder.WriteMediaPictures();
        folder.WriteCatalogue({AreaLine(1)}, 400);
        GuiPrompts prompts;
        prompts.answers = {false, true};
        vrx::Program program(folder.app(), vrx::ProgramServices{&prompts});
        QVERIFY(program.start());  // one area: it starts checked
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));

        vrx::StatusWindowWidget& window = program.statusView().widget();
        int passes = 0;
        bool visibleAfterNo = false;
        bool runCommandsOff = false;
        bool closed = false;
        QString captionBeforeYes;
        QString percentBeforeYes;
        const QString texture = QString::fromStdString(folder.fsx() + "/Texture/tex");
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            ++passes;
            if (passes == 20) {
                // While the copy runs, the commands that would start another run are off.
                runCommandsOff = !program.mainWindow().findChild<QWidget*>("Sidebar5")->isEnabled() &&
                                 !program.mainWindow().findChild<QWidget*>("Sidebar1")->isEnabled() &&
                                 program.mainWindow().findChild<QWidget*>("Sidebar0")->isEnabled();
                window.close();  // the close box: answered No
                visibleAfterNo = window.isVisible();
            }
            // Once the bar has shown a file after the No, the close box again: answered Yes.
            if (passes > 20 && !closed && window.bar().captionText().startsWith(texture)) {
                captionBeforeYes = window.bar().captionText();
                percentBeforeYes = window.bar().percentText();
                closed = true;
                window.close();
            }
        });
        closer.start(0);
        QTest::mouseClick(program.mainWindow().findChild<QWidget*>("Sidebar5"), Qt::LeftButton, {}, QPoint(20, 20));
        closer.stop();

        QVERIFY(visibleAfterNo);
        QVERIFY(runCommandsOff);
        QVERIFY(captionBeforeYes.endsWith(".bmp"));
        QVERIFY2(QRegularExpression("^[1-9]?[0-9]%$").match(percentBeforeYes).hasMatch(), qPrintable(percentBeforeYes));
        QCOMPARE(prompts.unexpected, 0);
        QCOMPARE(prompts.texts(), (std::vector<std::string>{"Are you sure you want to cancel this action?",
                                                            "Are you sure you want to cancel this action?"}));
        QCOMPARE(prompts.shown[0].title, std::string("Verdantis"));
        QVERIFY(!window.isVisible());
        QVERIFY(program.statusWindow().CancelRequested());
        QCOMPARE(window.actionLabel().text(), QString("Copying Verdantis files..."));
        const int copied = FilesIn(folder.fsx() + "/Texture");
        QVERIFY2(copied > 0 && copied < 400, qPrintable(QString::number(copied)));
        QVERIFY(!std::filesystem::exists(folder.app() + "/history.txt"));
        // The install button is usable again.
        QVERIFY(program.mainWindow().findChild<QWidget*>("Sidebar5")->isEnabled());
    }
};

QTEST_MAIN(StatusWindowWidgetTest)
#include "test_statuswindowwidget.moc"
