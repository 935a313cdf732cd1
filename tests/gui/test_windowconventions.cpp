// The controls and conventions every window shares, on the offscreen
// platform: the link label, the picture button's drawing, the window roles
// and icon, the screen metrics' device pixel ratio, the progress bar's
// caption and pixel scale.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPainter>
#include <QtTest>

#include "app/LinkLabel.h"
#include "app/ProgressBarWidget.h"
#include "app/ScreenMetrics.h"
#include "app/SidebarButton.h"
#include "app/WindowConventions.h"
#include "progress/ProgressBarModel.h"
#include "ui/Colour.h"

namespace {

// The widget drawn on black at a device pixel ratio, as a screen would draw it.
QImage Render(QWidget& widget, qreal ratio = 1.0) {
    QImage image(widget.size() * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The longest run of bright pixels along any row.
int LongestBrightRun(const QImage& image) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = qGray(image.pixel(x, y)) > 128 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

// size x size one-pixel black and white stripes: any scaling shows in them.
QPixmap Stripes(int size = 65) {
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) image.setPixel(x, y, x % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
    return QPixmap::fromImage(image);
}

struct ClickCount : QObject {
    int clicks = 0;
};

}  // namespace

class WindowConventionsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { vrx::ScreenMetrics::SetDevicePixelRatioForTesting(0); }

    void linkLabelClicksFromMouseKeyboardAndAssistiveTools() {
        QWidget window;
        auto* label = new vrx::LinkLabel("Select None", &window);
        label->setGeometry(10, 10, 67, 15);
        int clicks = 0;
        connect(label, &QAbstractButton::clicked, [&clicks] { ++clicks; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QCOMPARE(label->focusPolicy(), Qt::StrongFocus);
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(a11y->text(QAccessible::Name), QString("Select None"));
        QVERIFY(a11y->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

        // A press that leaves the label before its release does nothing.
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(clicks, 0);
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(200, 3));
        QCOMPARE(clicks, 0);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(clicks, 1);
        QTest::keyClick(label, Qt::Key_Space);
        QCOMPARE(clicks, 2);
        QTest::keyClick(label, Qt::Key_Return);
        QCOMPARE(clicks, 3);
        QTest::keyClick(label, Qt::Key_Enter);
        QCOMPARE(clicks, 4);
        a11y->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(clicks, 5);
    }

    void linkLabelIsUnderlinedInItsColoursWithAKeyboardFocusMark() {
        QWidget window;
        auto* label = new vrx::LinkLabel("Select All", &window);
        auto* other = new vrx::LinkLabel("Exit", &window);
        QFont font("Arial");
        font.setPointSizeF(9);
        label->setFont(font);  // a font without underline: the label underlines it itself
        label->setGeometry(10, 10, 60, 16);
        other->setGeometry(10, 40, 30, 16);
        label->setColours(vrx::MakeColour(0xE8, 0xF0, 0xE0), vrx::MakeColour(0xFF, 0xC0, 0x40));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0xE8, 0xF0, 0xE0));
        label->setHighlighted(true);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0xFF, 0xC0, 0x40));
        label->setHighlighted(false);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0xE8, 0xF0, 0xE0));

        // The underline: an unbroken line under the whole caption.
        const int textWidth = label->fontMetrics().horizontalAdvance("Select All");
        QVERIFY2(LongestBrightRun(Render(*label)) >= textWidth - 2,
                 qPrintable(QString::number(LongestBrightRun(Render(*label)))));

        // Focus from the keyboard shows a dotted frame; a mouse click leaves none.
        const QImage plain = Render(*label);
        other->setFocus(Qt::MouseFocusReason);
        label->setFocus(Qt::TabFocusReason);
        QVERIFY(label->showsFocusMark());
        const QImage marked = Render(*label);
        QVERIFY(marked != plain);
        QVERIFY(qGray(marked.pixel(0, 0)) > 128 || qGray(marked.pixel(1, 0)) > 128);
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(QApplication::focusWidget(), other);
        QVERIFY(!other->showsFocusMark());
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(!label->showsFocusMark());
        QCOMPARE(Render(*label), plain);
        // Once the keyboard is used, the focus shows.
        QTest::keyClick(label, Qt::Key_Shift);
        QVERIFY(label->showsFocusMark());
    }

    void linkLabelWidensRatherThanCutItsCaption() {
        QWidget window;
        auto* exit = new vrx::LinkLabel("Exit", &window);
        QFont font("Arial");
        font.setPointSizeF(11.25);
        font.setUnderline(true);
        exit->setFont(font);
        exit->setGeometry(100, 10, 10, 17);  // narrower than "Exit"
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(exit->x(), 100);
        QVERIFY(exit->width() > exit->fontMetrics().horizontalAdvance("Exit"));
        exit->setGeometry(100, 10, 80, 17);  // wide enough: kept as placed
        QCOMPARE(exit->width(), 80);
    }

    void pictureButtonDrawsSmoothlyAtTheDevicePixelRatio() {
        vrx::SidebarButton button;
        button.setPicture(Stripes());
        // At a ratio of 1 and the picture's own size, the picture as it is.
        button.resize(65, 65);
        QCOMPARE(Render(button).convertToFormat(QImage::Format_RGB32), Stripes().toImage());
        // 65 screen pixels at 150% are 43 of Qt's: a picture of twice that
        // resolution is drawn into those 65 device pixels from its full
        // source, smoothly, so the stripes blend to greys instead of every
        // other stripe being dropped (all black or all white).
        button.setPicture(Stripes(130));
        button.resize(43, 43);
        const QImage drawn = Render(button, 1.5);
        int midGreys = 0;
        for (int x = 0; x < drawn.width(); ++x) {
            const int grey = qGray(drawn.pixel(x, 32));
            if (grey > 40 && grey < 215) ++midGreys;
        }
        QVERIFY2(midGreys > 8, qPrintable(QString::number(midGreys)));
    }

    void pictureButtonFocusFrameAndDisabledLook() {
        QWidget window;
        auto* button = new vrx::SidebarButton(&window);
        auto* other = new vrx::SidebarButton(&window);
        QImage olive(65, 65, QImage::Format_RGB32);
        olive.fill(QColor(128, 128, 0));
        button->setPicture(QPixmap::fromImage(olive));
        other->setPicture(QPixmap::fromImage(olive));
        button->setGeometry(0, 0, 65, 65);
        other->setGeometry(70, 0, 65, 65);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QColor picture(128, 128, 0);

        // Keyboard focus: a thin frame at the edge, the picture itself untouched.
        other->setFocus(Qt::MouseFocusReason);
        button->setFocus(Qt::TabFocusReason);
        QVERIFY(button->showsFocusMark());
        QImage drawn = Render(*button);
        QVERIFY(drawn.pixelColor(1, 20) != picture);
        QCOMPARE(drawn.pixelColor(5, 20), picture);
        QCOMPARE(drawn.pixelColor(32, 32), picture);
        // A mouse click gives the focus without any mark.
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(QApplication::focusWidget(), other);
        QVERIFY(!other->showsFocusMark());
        drawn = Render(*other);
        QCOMPARE(drawn.pixelColor(1, 20), picture);

        // Disabled (Install and Backups during a copy): greyed.
        button->setEnabled(false);
        drawn = Render(*button);
        const QColor grey = drawn.pixelColor(32, 32);
        QVERIFY2(std::abs(grey.red() - grey.blue()) < 24 && std::abs(grey.green() - grey.blue()) < 24,
                 qPrintable(grey.name()));
        QVERIFY(grey != picture);
    }

    void windowsAreFramesOrDialogsNamedByTheirCaptionWithTheIcon() {
        QWidget main;
        main.setWindowTitle("Main caption");
        vrx::ApplyWindowConventions(main, vrx::WindowRole::Frame);
        auto* dialog = new QWidget(&main);
        dialog->setWindowTitle("A dialog");
        vrx::ApplyWindowConventions(*dialog, vrx::WindowRole::Dialog);

        QVERIFY(!vrx::ProgramIcon().isNull());
        for (QWidget* window : {&main, dialog}) {
            QCOMPARE(window->windowIcon().cacheKey(), vrx::ProgramIcon().cacheKey());
        }
        QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&main);
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(frame->text(QAccessible::Name), QString("Main caption"));
        QAccessibleInterface* owned = QAccessible::queryAccessibleInterface(dialog);
        QCOMPARE(owned->role(), QAccessible::Dialog);
        QCOMPARE(owned->text(QAccessible::Name), QString("A dialog"));

        // The owned window is a window of its own kept on its owner, with a
        // close box and no minimise or maximise button.
        QVERIFY(dialog->isWindow());
        QCOMPARE(dialog->parentWidget(), &main);
        QCOMPARE(dialog->windowType(), Qt::Dialog);
        QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
        main.show();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(dialog->windowHandle()->transientParent(), main.windowHandle());
    }

    void screenDpiIsTheLogicalDpiTimesTheDevicePixelRatio_data() {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("qtPixels");  // 1500 twips (100 screen pixels) in Qt's pixels
        QTest::newRow("100%") << 1.0 << 96 << 100;
        QTest::newRow("125%") << 1.25 << 120 << 80;
        QTest::newRow("150%") << 1.5 << 144 << 67;
        QTest::newRow("200%") << 2.0 << 192 << 50;
    }

    void screenDpiIsTheLogicalDpiTimesTheDevicePixelRatio() {
        QFETCH(double, ratio);
        QFETCH(int, dpi);
        QFETCH(int, qtPixels);
        vrx::ScreenMetrics::SetDevicePixelRatioForTesting(ratio);
        QWidget widget;
        const vrx::ScreenMetrics metrics = vrx::ScreenMetrics::Of(&widget);
        QCOMPARE(metrics.dpi, dpi);
        QCOMPARE(metrics.devicePixelRatio, ratio);
        // The layout was scaled by 96 / dpi: 1500 design twips are 1500 * 96 / dpi.
        const double scaledTwips = 1500.0 * 96 / dpi;
        QCOMPARE(metrics.ToScreenPixels(scaledTwips), 100);
        QCOMPARE(metrics.ToWidgetPixels(scaledTwips), qtPixels);
    }

    void statusCaptionIsShortenedInTheMiddle() {
        vrx::ProgressBarWidget bar;
        bar.resize(668, 54);
        vrx::ProgressBarModel model;
        model.InitProgress(10, "", true);
        const std::string folder = "/home/pilot/Games/Flight Simulator X/Scenery/World/Texture/";
        std::string path;
        while (path.size() < 300) path += folder;
        path += "saltmere_coast_07.bmp";
        model.Progress(1, path);
        bar.setModel(model);
        const QString shown = bar.shownCaption();
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(shown.startsWith("/home/pilot/"));
        QVERIFY(shown.endsWith("Texture/saltmere_coast_07.bmp"));
        QVERIFY(bar.fontMetrics().horizontalAdvance(shown) <= 664);
        // A caption that fits is shown whole.
        model.Progress(2, "/FSX/Texture/coast02.bmp");
        bar.setModel(model);
        QCOMPARE(bar.shownCaption(), QString("/FSX/Texture/coast02.bmp"));
    }

    void progressBarKeepsItsPixelLayoutInScreenPixels() {
        // In a window scaled for 150%, the bar is 668 screen pixels wide, 445 of Qt's.
        vrx::ProgressBarWidget bar;
        bar.resize(445, 36);
        bar.setScreenPixelRatio(1.5);
        QCOMPARE(bar.barLayout().trough.width, 664);
        QCOMPARE(bar.barLayout().caption.top, 26);
        vrx::ProgressBarModel model;
        model.InitProgress(2, "", true);
        model.Progress(1, "caption");
        bar.setModel(model);
        bar.SetBackColor(vrx::MakeColour(0xC0, 0xC0, 0xC0));
        const QImage drawn = Render(bar, 1.5);
        // The fill reaches half the trough: navy left of the middle, the trough right of it.
        QCOMPARE(drawn.pixelColor(100, 10), QColor(0, 0, 128));
        QCOMPARE(drawn.pixelColor(600, 10), QColor(0xC0, 0xC0, 0xC0));
        // The frame's top line one screen pixel above the trough (y = 1), black.
        QCOMPARE(drawn.pixelColor(300, 1), QColor(0, 0, 0));
    }
};

QTEST_MAIN(WindowConventionsTest)
#include "test_windowconventions.moc"
