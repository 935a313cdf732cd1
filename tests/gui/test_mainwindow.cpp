// The main window on the offscreen platform: start-up, colours, the area
// list and its sweep, the command labels, the sidebar and its feedback.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QListWidget>
#include <QStyleOptionViewItem>
#include <QtTest>
#include <cstdlib>
#include <memory>

#include "app/LinkLabel.h"
#include "app/MainWindow.h"
#include "app/PreviewBox.h"
#include "app/Program.h"
#include "app/QtStatusView.h"
#include "app/ScreenMetrics.h"
#include "app/SidebarButton.h"
#include "app/StatusWindowWidget.h"
#include "app/WindowConventions.h"
#include "gui/GuiSupport.h"
#include "platform/Shell.h"

using vrx::test::AddonFolder;
using vrx::test::AreaLine;
using vrx::test::GuiPrompts;

namespace {

constexpr const char* kColours =
    "ControlBackColor=F0E8D0\r\nFormBackColor=203828\r\nTextForeColor=E8F0E0\r\n"
    "TextHighlightColor=FFC040\r\nListTextColor=102010\r\nVRXVersion=Sample Scenery 2\r\n";

QColor TextColour(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

// Records what the program asks the desktop to open.
class RecordingShell final : public vrx::Shell {
public:
    bool open(const std::string& target, vrx::ShowMode mode) override {
        opened.emplace_back(target, mode);
        return true;
    }
    std::vector<std::pair<std::string, vrx::ShowMode>> opened;
};

// The longest run of pixels of colour along any row.
int LongestRunOf(const QImage& image, const QColor& colour) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const bool near = std::abs(c.red() - colour.red()) < 60 && std::abs(c.green() - colour.green()) < 60 &&
                              std::abs(c.blue() - colour.blue()) < 60;
            run = near ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AddonFolder> addon;
    GuiPrompts prompts;
    std::unique_ptr<vrx::Program> program;

    // Lays out an add-on with these areas and the sample colours.
    void makeAddon(const std::vector<std::string>& areas) {
        addon = std::make_unique<AddonFolder>();
        addon->WriteMediaPictures();
        addon->WriteCatalogue(areas);
        addon->WriteUiCfg(kColours);
    }
    bool start(vrx::Shell* shell = nullptr) {
        program = std::make_unique<vrx::Program>(addon->app(), vrx::ProgramServices{&prompts, shell});
        const bool shown = program->start();
        if (shown && !QTest::qWaitForWindowExposed(&window())) return false;
        return shown;
    }
    vrx::MainWindow& window() { return program->mainWindow(); }
    template <typename T = QWidget>
    T* child(const char* name) {
        return window().findChild<T*>(QString::fromUtf8(name));
    }
    QListWidget* list() { return child<QListWidget>("List1"); }
    std::vector<bool> checks() {
        std::vector<bool> result;
        for (int i = 0; i < list()->count(); ++i) result.push_back(list()->item(i)->checkState() == Qt::Checked);
        return result;
    }
    // Clicks item row's check box, as a user does.
    void clickCheckBox(int row) {
        QStyleOptionViewItem option;
        option.initFrom(list());
        option.rect = list()->visualItemRect(list()->item(row));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box = list()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box.center());
    }
    void clickLabel(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton, {}, QPoint(3, 3)); }

private slots:
    void init() { prompts = GuiPrompts(); }
    void cleanup() {
        vrx::ScreenMetrics::SetDevicePixelRatioForTesting(0);
        program.reset();
        addon.reset();
    }

    void startupShowsCaptionColoursAndTheFirstArea() {
        makeAddon({"0|Area 1|Area1|area1.bmp|2|Texture|First line.\\nSecond line.", AreaLine(2, "1"), AreaLine(3)});
        QVERIFY(start());
        QCOMPARE(window().windowTitle(), QString("Sample Scenery 2 (Interface Version 1.08)"));
        const QColor formBack(0x20, 0x38, 0x28);
        const QColor textFore(0xE8, 0xF0, 0xE0);
        QCOMPARE(window().palette().color(QPalette::Window), formBack);
        QCOMPARE(child("Picture1")->palette().color(QPalette::Window), formBack);
        for (const char* name : {"lblInfo", "lblDescription", "lblSelect0", "lblSelect1", "lblSelect3", "lblSelect4"}) {
            QCOMPARE(TextColour(child(name)), textFore);
        }
        QCOMPARE(list()->palette().color(QPalette::Base), QColor(0xF0, 0xE8, 0xD0));
        QCOMPARE(list()->palette().color(QPalette::Text), QColor(0x10, 0x20, 0x10));
        // The window's own background as drawn, left of the banner.
        QCOMPARE(window().grab().toImage().pixelColor(1, 1), formBack);

        QCOMPARE(child<QLabel>("lblInfo")->text(), QString());
        QCOMPARE(list()->count(), 3);
        QCOMPARE(list()->item(0)->text(), QString("Area 1"));
        QCOMPARE(list()->currentRow(), 0);
        QCOMPARE(child<QLabel>("lblDescription")->text(), QString("First line.\nSecond line."));
        // The 320 x 240 preview fitted into the 362 x 272 box, keeping its shape.
        const auto* preview = child<vrx::PreviewBox>("Preview");
        QCOMPARE(preview->picture().size(), QSize(320, 240));
        QCOMPARE(preview->pictureRect().width(), 362);
        QVERIFY(std::abs(preview->pictureRect().height() - 271.5) <= 1);
        QCOMPARE(checks(), (std::vector<bool>{false, false, false}));
        QVERIFY(prompts.shown.empty());
        // Laid out from the design table: 15 twips per pixel on this 96 DPI screen.
        QCOMPARE(window().size(), QSize(727, 524));
        QCOMPARE(list()->geometry(), QRect(92, 110, 259, 374));
        QCOMPARE(child("Sidebar5")->geometry(), QRect(460, 437, 160, 43));
    }

    void noUiCfgGivesBlackAndABareCaption() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QFile::remove(QString::fromStdString(addon->app() + "/ui.cfg"));
        QVERIFY(start());
        QCOMPARE(window().windowTitle(), QString(" (Interface Version 1.08)"));
        const QColor black(0, 0, 0);
        QCOMPARE(window().palette().color(QPalette::Window), black);
        QCOMPARE(child("Picture1")->palette().color(QPalette::Window), black);
        QCOMPARE(TextColour(child("lblInfo")), black);
        QCOMPARE(TextColour(child("lblSelect0")), black);
        QCOMPARE(list()->palette().color(QPalette::Base), black);
        QCOMPARE(list()->palette().color(QPalette::Text), black);
    }

    void oneAreaCatalogueStartsChecked() {
        makeAddon({AreaLine(1)});
        QVERIFY(start());
        QCOMPARE(checks(), std::vector<bool>{true});
        QCOMPARE(child<QLabel>("lblDescription")->text(), QString("About area 1."));
    }

    void missingFirstPreviewWarnsAndStartupGoesOn() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QFile::remove(QString::fromStdString(addon->app() + "/Media/area1.bmp"));
        QVERIFY(start());
        QCOMPARE(prompts.texts(),
                 std::vector<std::string>{
                     "There was an error in the item selection. Your verdantis.cfg file may be invalid!"});
        QCOMPARE(prompts.shown[0].title, std::string("Verdantis"));
        QCOMPARE(child<QLabel>("lblDescription")->text(), QString("About area 1."));
    }

    void catalogueFaultsEndStartup_data() {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing")
            << QString() << "Verdantis configuration file (verdantis.cfg) is missing. Please reinstall Verdantis.";
        QTest::newRow("no backups section")
            << "1\r\n0|Area 1|Area1|area1.bmp||Texture|d\r\n"
            << "Verdantis configuration file (verdantis.cfg) is corrupted. Please reinstall Verdantis.";
    }
    void catalogueFaultsEndStartup() {
        QFETCH(QString, catalogue);
        QFETCH(QString, message);
        makeAddon({AreaLine(1)});
        QFile::remove(QString::fromStdString(addon->app() + "/vrx.cfg"));
        if (!catalogue.isNull()) addon->WriteText("vrx.cfg", catalogue.toStdString());
        QVERIFY(!start());
        QVERIFY(!window().isVisible());
        QCOMPARE(prompts.texts(), std::vector<std::string>{message.toStdString()});
        QCOMPARE(prompts.shown[0].title, std::string("Verdantis"));
        // Nothing after the catalogue ran: no caption.
        QCOMPARE(window().windowTitle(), QString("Verdantis"));
    }

    void missingStartupPictureEndsWithItsName() {
        makeAddon({AreaLine(1)});
        const std::string picture = addon->app() + "/Media/quellmark.bmp";
        QFile::remove(QString::fromStdString(picture));
        QVERIFY(!start());
        QVERIFY(!window().isVisible());
        QCOMPARE(prompts.shown.size(), size_t(1));
        QVERIFY(prompts.shown[0].text.find(picture) != std::string::npos);
    }

    void selectAllAndSelectNone() {
        makeAddon({AreaLine(1, "2"), AreaLine(2, "1"), AreaLine(3), AreaLine(4), AreaLine(5)});
        QVERIFY(start());
        clickLabel("lblSelect0");
        // No sweep: the two areas that exclude each other both stay checked.
        QCOMPARE(checks(), (std::vector<bool>{true, true, true, true, true}));
        QCOMPARE(child<QLabel>("lblDescription")->text(), QString("About area 1."));
        clickLabel("lblSelect1");
        QCOMPARE(checks(), (std::vector<bool>{false, false, false, false, false}));
        QCOMPARE(list()->currentRow(), 0);
    }

    void sweepRunsOnListClicks() {
        makeAddon({AreaLine(1, "2"), AreaLine(2, "1"), AreaLine(3, "2, 1")});
        QVERIFY(start());
        clickCheckBox(0);
        QCOMPARE(checks(), (std::vector<bool>{true, false, false}));
        QCOMPARE(child<QLabel>("lblDescription")->text(), QString("About area 1."));
        clickCheckBox(1);
        QCOMPARE(list()->currentRow(), 1);
        QCOMPARE(checks(), (std::vector<bool>{false, true, false}));
        QCOMPARE(child<QLabel>("lblDescription")->text(), QString("About area 2."));
        clickCheckBox(2);
        QCOMPARE(checks(), (std::vector<bool>{false, false, true}));
        QVERIFY(prompts.shown.empty());
    }

    void keyboardTicksAndSweeps() {
        makeAddon({AreaLine(1, "2"), AreaLine(2, "1")});
        QVERIFY(start());
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Space);
        QCOMPARE(checks(), (std::vector<bool>{true, false}));
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(child<QLabel>("lblDescription")->text(), QString("About area 2."));
        QTest::keyClick(list(), Qt::Key_Space);
        QCOMPARE(checks(), (std::vector<bool>{false, true}));
    }

    void badExclusionListWarnsAtEachClick() {
        makeAddon({AreaLine(1, "2,"), AreaLine(2)});
        QVERIFY(start());
        clickCheckBox(0);
        QCOMPARE(prompts.shown.size(), size_t(1));
        QCOMPARE(prompts.shown[0].text,
                 std::string("There was an error in the item selection. Your verdantis.cfg file may be invalid!"));
        QCOMPARE(checks(), (std::vector<bool>{true, false}));
        // One message per click, each time the sweep meets the fault.
        clickCheckBox(1);
        QCOMPARE(prompts.shown.size(), size_t(2));
        QCOMPARE(checks(), (std::vector<bool>{true, true}));
    }

    void hoverTextsAndResetHover() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QVERIFY(start());
        auto* info = child<QLabel>("lblInfo");
        const char* texts[] = {"Verdantis Help and User Manual.", "Backup Manager - Manage your texture backups.",
                               "Check for the latest version from https://updates.quellmark.example/.",
                               "Verdantis Settings", "Visit www.quellmark.example on the internet!"};
        for (int i = 0; i < 5; ++i) {
            QTest::mouseMove(child(qPrintable(QString("Sidebar%1").arg(i))), QPoint(20, 20));
            QTRY_COMPARE(info->text(), QString(texts[i]));
        }
        // The install button writes nothing; neither does the banner reset it.
        QTest::mouseMove(child("Sidebar5"), QPoint(20, 20));
        QTest::mouseMove(child("Banner"), QPoint(20, 20));
        QCOMPARE(info->text(), QString(texts[4]));

        QTest::mouseMove(child("lblSelect0"), QPoint(5, 5));
        QTRY_COMPARE(TextColour(child("lblSelect0")), QColor(0xFF, 0xC0, 0x40));
        QCOMPARE(info->text(), QString(texts[4]));
        QTest::mouseMove(child("lblSelect4"), QPoint(5, 5));
        QTRY_COMPARE(TextColour(child("lblSelect4")), QColor(0xFF, 0xC0, 0x40));

        // Each of the areas that reset the hover does so.
        for (const char* area : {"List1", "Preview", "lblDescription", "Picture1"}) {
            QTest::mouseMove(child("lblSelect0"), QPoint(5, 5));
            QTest::mouseMove(child("Sidebar1"), QPoint(20, 20));
            QTRY_COMPARE(TextColour(child("lblSelect0")), QColor(0xFF, 0xC0, 0x40));
            QWidget* target = child(area);
            if (auto* l = qobject_cast<QListWidget*>(target)) target = l->viewport();
            QTest::mouseMove(target, QPoint(2, target->height() - 3));
            QTRY_COMPARE(TextColour(child("lblSelect0")), QColor(0xE8, 0xF0, 0xE0));
            QCOMPARE(TextColour(child("lblSelect4")), QColor(0xE8, 0xF0, 0xE0));
            QCOMPARE(info->text(), QString());
        }
        // The window's own background.
        QTest::mouseMove(child("Sidebar1"), QPoint(20, 20));
        QTRY_VERIFY(!info->text().isEmpty());
        QTest::mouseMove(&window(), QPoint(600, 515));
        QTRY_COMPARE(info->text(), QString());
    }

    void pressSinksTheButtonOnePixel() {
        makeAddon({AreaLine(1)});
        QVERIFY(start());
        // The manual's button: with no manual, each click shows one message.
        QWidget* button = child("Sidebar0");
        const QPoint home = button->pos();
        for (Qt::MouseButton mouse : {Qt::LeftButton, Qt::RightButton}) {
            QTest::mousePress(button, mouse, {}, QPoint(30, 30));
            QCOMPARE(button->pos(), home + QPoint(1, 1));
            QTest::mouseRelease(button, mouse, {}, QPoint(30, 30));
            QCOMPARE(button->pos(), home);
        }
        // Only the left button's press and release made a click.
        QCOMPARE(prompts.shown.size(), size_t(1));
        QVERIFY(prompts.shown[0].text.starts_with("Error opening PDF file. Please manually open "));
    }

    void manualFailureNamesThePath() {
        makeAddon({AreaLine(1)});
        QVERIFY(start());
        QTest::mouseClick(child("Sidebar0"), Qt::LeftButton, {}, QPoint(30, 30));
        const std::string path = addon->app() + "/VRX_Manual.pdf";
        QCOMPARE(prompts.texts(),
                 std::vector<std::string>{
                     "Error opening PDF file. Please manually open " + path +
                     ". A shortcut to the manual is in Start/Programs/Quellmark Software/Verdantis X Norvane."});
        QCOMPARE(prompts.shown[0].title, std::string("Verdantis"));
    }

    void sidebarButtonsForKeyboardAndAssistiveTools() {
        makeAddon({AreaLine(1)});
        QVERIFY(start());
        const char* names[] = {"Help", "Backup Manager", "Updates", "Settings", "Web site", "Install"};
        for (int i = 0; i < 6; ++i) {
            QWidget* button = child(qPrintable(QString("Sidebar%1").arg(i)));
            QCOMPARE(button->focusPolicy(), Qt::StrongFocus);
            QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(button);
            QVERIFY(a11y != nullptr);
            QCOMPARE(a11y->text(QAccessible::Name), QString(names[i]));
            QCOMPARE(a11y->role(), QAccessible::Button);
            QVERIFY(a11y->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        }
        // The press action, Space and Enter each click: the missing manual's message each time.
        QWidget* help = child("Sidebar0");
        QAccessible::queryAccessibleInterface(help)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(prompts.shown.size(), size_t(1));
        help->setFocus();
        QTest::keyClick(help, Qt::Key_Space);
        QCOMPARE(prompts.shown.size(), size_t(2));
        QTest::keyClick(help, Qt::Key_Return);
        QCOMPARE(prompts.shown.size(), size_t(3));
        // Labels expose their text; the command labels have no name of their own to hide it.
        QAccessibleInterface* exit = QAccessible::queryAccessibleInterface(child("lblSelect3"));
        QCOMPARE(exit->text(QAccessible::Name), QString("Exit"));
    }

    void keyboardAloneTicksAndInstalls() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QVERIFY(start());
        window().activateWindow();
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Down);
        QTest::keyClick(list(), Qt::Key_Space);
        QCOMPARE(checks(), (std::vector<bool>{false, true}));
        QWidget* install = child("Sidebar5");
        for (int tabs = 0; tabs < 10 && QApplication::focusWidget() != install; ++tabs) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), install);
        QTest::keyClick(install, Qt::Key_Space);
        QVERIFY(QFile::exists(QString::fromStdString(addon->fsx() + "/Texture/tex1.bmp")));
        QVERIFY(QFile::exists(QString::fromStdString(addon->fsx() + "/Texture/tex2.bmp")));
        QVERIFY(prompts.shown.empty());
    }

    void listItemsExposeTheirCheckedState() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QVERIFY(start());
        list()->item(1)->setCheckState(Qt::Checked);
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(list());
        QVERIFY(a11y != nullptr);
        int found = 0;
        for (int i = 0; i < a11y->childCount(); ++i) {
            QAccessibleInterface* item = a11y->child(i);
            if (item->text(QAccessible::Name) == "Area 1") {
                QVERIFY(item->state().checkable);
                QVERIFY(!item->state().checked);
                ++found;
            }
            if (item->text(QAccessible::Name) == "Area 2") {
                QVERIFY(item->state().checkable);
                QVERIFY(item->state().checked);
                ++found;
            }
        }
        QCOMPARE(found, 2);
    }

    void controlFontsFollowTheLayoutTable_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("underline");
        QTest::newRow("View Log") << "lblSelect4" << 9.0 << true;
        QTest::newRow("Select All") << "lblSelect0" << 9.0 << true;
        QTest::newRow("Select None") << "lblSelect1" << 9.0 << true;
        QTest::newRow("Exit") << "lblSelect3" << 11.25 << true;
        QTest::newRow("hover line") << "lblInfo" << 9.75 << false;
        QTest::newRow("description") << "lblDescription" << 9.0 << false;
        QTest::newRow("area list") << "List1" << 9.0 << false;
    }

    void controlFontsFollowTheLayoutTable() {
        QFETCH(QString, name);
        QFETCH(double, points);
        QFETCH(bool, underline);
        makeAddon({AreaLine(1)});
        QVERIFY(start());
        QWidget* control = child(qPrintable(name));
        QVERIFY(control != nullptr);
        QCOMPARE(control->font().family(), QString("Arial"));
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().underline(), underline);
        QCOMPARE(control->font().bold(), false);
        if (auto* link = qobject_cast<vrx::LinkLabel*>(control)) {
            // As drawn: an unbroken line in the text colour under the caption
            // (as far as the label reaches).
            const int reach = std::min(link->width(), link->fontMetrics().horizontalAdvance(link->text()));
            const QImage drawn = window().grab(link->geometry()).toImage();
            QVERIFY2(LongestRunOf(drawn, QColor(0xE8, 0xF0, 0xE0)) >= reach - 3,
                     qPrintable(QString("%1 of %2").arg(LongestRunOf(drawn, QColor(0xE8, 0xF0, 0xE0))).arg(reach)));
        }
    }

    void windowKeepsItsDesignedScreenSize_data() {
        QTest::addColumn<double>("ratio");
        QTest::newRow("100%") << 1.0;
        QTest::newRow("125%") << 1.25;
        QTest::newRow("150%") << 1.5;
        QTest::newRow("200%") << 2.0;
    }

    // On a scaled desktop Qt enlarges the window by the device pixel ratio;
    // the scaling rule measures 96 x ratio DPI, so in screen pixels (Qt's
    // pixels x ratio) the window and its controls keep their designed size:
    // 15 twips per screen pixel.
    void windowKeepsItsDesignedScreenSize() {
        QFETCH(double, ratio);
        vrx::ScreenMetrics::SetDevicePixelRatioForTesting(ratio);
        makeAddon({AreaLine(1), AreaLine(2)});
        QVERIFY(start());
        const auto screenPixels = [ratio](int qtPixels) { return qtPixels * ratio; };
        const auto near = [](double actual, int expected) { return std::abs(actual - expected) <= 1.0; };
        QVERIFY2(near(screenPixels(window().width()), 727) && near(screenPixels(window().height()), 524),
                 qPrintable(QString("%1 x %2").arg(window().width()).arg(window().height())));
        const QRect list = child("List1")->geometry();
        QVERIFY2(near(screenPixels(list.x()), 92) && near(screenPixels(list.y()), 110) &&
                     near(screenPixels(list.width()), 259) && near(screenPixels(list.height()), 374),
                 qPrintable(QString("%1,%2 %3 x %4").arg(list.x()).arg(list.y()).arg(list.width()).arg(list.height())));
        const QRect exit = child("lblSelect3")->geometry();
        QVERIFY(near(screenPixels(exit.x()), 695) && near(screenPixels(exit.y()), 502));
        // Fonts shrink by the same ratio; Qt draws points enlarged by it again.
        QCOMPARE(child("lblSelect3")->font().pointSizeF() * ratio, 11.25);

        vrx::StatusWindowWidget& status = program->statusView().widget();
        QVERIFY2(near(screenPixels(status.width()), 718) && near(screenPixels(status.height()), 119),
                 qPrintable(QString("%1 x %2").arg(status.width()).arg(status.height())));
    }

    void helpOpensTheManualAndWebSiteTheAddressMaximised() {
        makeAddon({AreaLine(1)});
        RecordingShell shell;
        QVERIFY(start(&shell));
        QTest::mouseClick(child("Sidebar0"), Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseClick(child("Sidebar4"), Qt::LeftButton, {}, QPoint(30, 30));
        clickLabel("lblSelect4");
        const std::vector<std::pair<std::string, vrx::ShowMode>> expected{
            {addon->app() + "/VRX_Manual.pdf", vrx::ShowMode::Normal},
            {"https://www.quellmark.example/", vrx::ShowMode::Maximised},
            {addon->app() + "/history.txt", vrx::ShowMode::Normal},
        };
        QVERIFY(shell.opened == expected);
        QVERIFY(prompts.shown.empty());
    }

    void windowIsAFrameNamedByItsCaptionWithTheIcon() {
        makeAddon({AreaLine(1)});
        QVERIFY(start());
        QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window());
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(frame->text(QAccessible::Name), QString("Sample Scenery 2 (Interface Version 1.08)"));
        QCOMPARE(window().windowIcon().cacheKey(), vrx::ProgramIcon().cacheKey());

        // The status window: a frame named "Status" with the icon, kept on the main window.
        vrx::StatusWindowWidget& status = program->statusView().widget();
        QAccessibleInterface* statusFrame = QAccessible::queryAccessibleInterface(&status);
        QCOMPARE(statusFrame->role(), QAccessible::Window);
        QCOMPARE(statusFrame->text(QAccessible::Name), QString("Status"));
        QCOMPARE(status.windowIcon().cacheKey(), vrx::ProgramIcon().cacheKey());
        QVERIFY(status.isWindow());
        QCOMPARE(status.parentWidget(), &window());
        QVERIFY(status.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(status.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(status.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void listAndPreviewAreNamedForScreenReaders() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QVERIFY(start());
        QCOMPARE(QAccessible::queryAccessibleInterface(list())->text(QAccessible::Name), QString("Scenery areas"));
        QAccessibleInterface* preview = QAccessible::queryAccessibleInterface(child("Preview"));
        QCOMPARE(preview->role(), QAccessible::Graphic);
        QCOMPARE(preview->text(QAccessible::Name), QString("Area 1"));
        QCOMPARE(preview->text(QAccessible::Description), QString("About area 1."));
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(preview->text(QAccessible::Name), QString("Area 2"));
        QCOMPARE(preview->text(QAccessible::Description), QString("About area 2."));
    }

    void focusStartsOnTheListAndTabFollowsReadingOrder() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QVERIFY(start());
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        QCOMPARE(QApplication::focusWidget(), list());
        const QStringList order{"Sidebar5",   "Sidebar0",   "Sidebar1",   "Sidebar2",   "Sidebar3", "Sidebar4",
                                "lblSelect4", "lblSelect0", "lblSelect1", "lblSelect3", "List1"};
        for (const QString& name : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
        }
    }

    void commandLabelsForKeyboardAndAssistiveTools() {
        makeAddon({AreaLine(1), AreaLine(2)});
        QVERIFY(start());
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        const std::pair<const char*, const char*> labels[] = {{"lblSelect4", "View Log"},
                                                              {"lblSelect0", "Select All"},
                                                              {"lblSelect1", "Select None"},
                                                              {"lblSelect3", "Exit"}};
        for (const auto& [name, caption] : labels) {
            QWidget* label = child(name);
            QCOMPARE(label->focusPolicy(), Qt::StrongFocus);
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
            QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(label);
            QCOMPARE(a11y->text(QAccessible::Name), QString(caption));
            QVERIFY(a11y->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        }
        // Select All by its Press action, Select None by Space, Select All again by Enter.
        QAccessible::queryAccessibleInterface(child("lblSelect0"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(checks(), (std::vector<bool>{true, true}));
        child("lblSelect1")->setFocus(Qt::TabFocusReason);
        QVERIFY(child<vrx::LinkLabel>("lblSelect1")->showsFocusMark());
        QTest::keyClick(child("lblSelect1"), Qt::Key_Space);
        QCOMPARE(checks(), (std::vector<bool>{false, false}));
        child("lblSelect0")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(child("lblSelect0"), Qt::Key_Return);
        QCOMPARE(checks(), (std::vector<bool>{true, true}));
        QVERIFY(prompts.shown.empty());
    }

    void exitClosesTheWindow() {
        makeAddon({AreaLine(1)});
        QVERIFY(start());
        clickLabel("lblSelect3");
        QTRY_VERIFY(!window().isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
