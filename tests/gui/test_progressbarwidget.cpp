// The progress bar control drawn into an image: frame, fill, the percentage
// split in colour at the fill's edge, the caption line and the colour methods.

#include <QImage>
#include <QtTest>
#include <cstdlib>

#include "app/ProgressBarWidget.h"
#include "progress/ProgressBarModel.h"
#include "ui/Colour.h"

namespace {

// The percentage's text band inside the trough (its top is 3 below the trough's top at 3).
constexpr int kTextTop = 6;
constexpr int kTextBottom = 21;

struct TextPixels {
    int white = 0;  // white text
    int dark = 0;   // black text
};

// Text pixels of the band between x0 and x1 (exclusive) where the band lies
// on the navy fill: white text blends navy towards white (red rises with
// green), black text would take blue away.
TextPixels CountOnFill(const QImage& image, int x0, int x1) {
    TextPixels counts;
    for (int y = kTextTop; y < kTextBottom; ++y) {
        for (int x = x0; x < x1; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() >= 60 && std::abs(c.red() - c.green()) < 20) ++counts.white;
            if (c.blue() < 100) ++counts.dark;
        }
    }
    return counts;
}

// The same where the band lies on the trough of colour trough.
TextPixels CountOnTrough(const QImage& image, int x0, int x1, QColor trough) {
    TextPixels counts;
    for (int y = kTextTop; y < kTextBottom; ++y) {
        for (int x = x0; x < x1; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > trough.red() + 8) ++counts.white;
            if (c.red() < 180) ++counts.dark;
        }
    }
    return counts;
}

QImage Render(vrx::ProgressBarWidget& bar) {
    return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Show(vrx::ProgressBarWidget& bar, int scale, int value, const std::string& caption = "") {
    vrx::ProgressBarModel model;
    model.InitProgress(scale, "", true);
    model.Progress(value, caption);
    bar.setModel(model);
}

}  // namespace

class ProgressBarWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void halfwayTextIsWhiteOnNavyLeftAndBlackRight() {
        vrx::ProgressBarWidget bar;
        bar.resize(300, 44);
        Show(bar, 2, 1);
        QCOMPARE(bar.percentText(), QString("50%"));
        const QImage image = Render(bar);
        const QColor trough = image.pixelColor(290, 4);
        // Fill from the trough's left edge to x = 148 (148 of 296 pixels, starting one pixel left).
        QCOMPARE(image.pixelColor(2, 4), QColor(0, 0, 128));
        QCOMPARE(image.pixelColor(148, 4), QColor(0, 0, 128));
        QVERIFY(image.pixelColor(149, 4) != QColor(0, 0, 128));
        const TextPixels left = CountOnFill(image, 2, 149);
        const TextPixels right = CountOnTrough(image, 149, 298, trough);
        QCOMPARE(left.dark, 0);
        QCOMPARE(right.white, 0);
        QVERIFY(left.white > 10);
        QVERIFY(right.dark > 10);
        // The edge runs through the middle of the text: neither side holds most of it.
        QVERIFY(left.white * 3 > right.dark);
        QVERIFY(right.dark * 3 > left.white);
    }

    void textAt10PercentIsAllBlackAndAt90AllWhite() {
        vrx::ProgressBarWidget bar;
        bar.resize(300, 44);
        // 10%: the fill ends at x = 30, well left of the text.
        Show(bar, 10, 1);
        QImage image = Render(bar);
        const QColor trough = image.pixelColor(290, 4);
        TextPixels onFill = CountOnFill(image, 2, 31);
        TextPixels onTrough = CountOnTrough(image, 31, 298, trough);
        QCOMPARE(onFill.white, 0);
        QCOMPARE(onTrough.white, 0);
        QVERIFY(onTrough.dark > 10);

        // 90%: the fill ends at x = 266, well right of it.
        Show(bar, 10, 9);
        image = Render(bar);
        onFill = CountOnFill(image, 2, 267);
        onTrough = CountOnTrough(image, 267, 298, trough);
        QCOMPARE(onFill.dark, 0);
        QCOMPARE(onTrough.dark, 0);
        QVERIFY(onFill.white > 10);
    }

    void frameFollowsTheWidth() {
        vrx::ProgressBarWidget bar;
        bar.resize(300, 44);
        QCOMPARE(bar.barLayout().trough.width, 296);
        const QImage image = Render(bar);
        QCOMPARE(image.pixelColor(0, 10), QColor(0, 0, 0));          // left, shadow
        QCOMPARE(image.pixelColor(150, 1), QColor(0, 0, 0));         // top, shadow
        QCOMPARE(image.pixelColor(299, 10), QColor(224, 224, 224));  // right, highlight
        QCOMPARE(image.pixelColor(150, 24), QColor(224, 224, 224));  // bottom, highlight
        bar.resize(500, 44);
        QCOMPARE(bar.barLayout().trough.width, 496);
        QCOMPARE(Render(bar).pixelColor(499, 10), QColor(224, 224, 224));
    }

    // A file name that is not UTF-8 on disk is copied under its own bytes;
    // its caption shows a replacement character where the odd byte stands.
    void captionOfANameThatIsNotUtf8ShowsAReplacementCharacter() {
        vrx::ProgressBarWidget bar;
        bar.resize(300, 44);
        Show(bar, 2, 1, "/fsx/Texture/caf\xE9.bmp");
        QCOMPARE(bar.captionText(), QString::fromUtf16(u"/fsx/Texture/caf\uFFFD.bmp"));
    }

    void colourMethods() {
        vrx::ProgressBarWidget bar;
        bar.resize(300, 44);
        bar.SetBackColor(vrx::MakeColour(200, 220, 240));
        bar.SetScrollColor(vrx::MakeColour(0, 128, 0));
        bar.SetShadowLineColor(vrx::MakeColour(128, 0, 0));
        bar.SetHighlightLineColor(vrx::MakeColour(0, 0, 255));
        bar.SetTextColor(vrx::MakeColour(255, 0, 0));
        Show(bar, 2, 1, "caption text");
        QCOMPARE(bar.captionText(), QString("caption text"));
        QImage image = Render(bar);
        QCOMPARE(image.pixelColor(290, 40), QColor(200, 220, 240));  // the control
        QCOMPARE(image.pixelColor(290, 4), QColor(200, 220, 240));   // the trough
        QCOMPARE(image.pixelColor(5, 4), QColor(0, 128, 0));         // the fill
        QCOMPARE(image.pixelColor(0, 10), QColor(128, 0, 0));
        QCOMPARE(image.pixelColor(299, 10), QColor(0, 0, 255));
        bool redCaption = false;
        for (int y = 26; y < 41 && !redCaption; ++y) {
            for (int x = 2; x < 298; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80) redCaption = true;
            }
        }
        QVERIFY(redCaption);

        // The two percentage colours: on the trough at 10%, on the fill at 90%.
        bar.SetNonScrollTextColor(vrx::MakeColour(255, 0, 255));
        bar.SetScrolledTextColor(vrx::MakeColour(255, 255, 0));
        const auto hasPixel = [](const QImage& img, auto test) {
            for (int y = kTextTop; y < kTextBottom; ++y) {
                for (int x = 2; x < 298; ++x) {
                    if (test(img.pixelColor(x, y))) return true;
                }
            }
            return false;
        };
        Show(bar, 10, 1);
        QVERIFY(hasPixel(Render(bar), [](QColor c) { return c.red() > 240 && c.green() < 60 && c.blue() > 240; }));
        Show(bar, 10, 9);
        QVERIFY(hasPixel(Render(bar), [](QColor c) { return c.red() > 240 && c.green() > 240 && c.blue() < 60; }));
    }

    void createdEmptyWithDesignText() {
        vrx::ProgressBarWidget bar;
        QCOMPARE(bar.size(), QSize(372, 44));
        QCOMPARE(bar.fillFraction(), 0.0);
        QCOMPARE(bar.percentText(), QString("#"));
        QCOMPARE(bar.captionText(), QString("#"));
    }
};

QTEST_MAIN(ProgressBarWidgetTest)
#include "test_progressbarwidget.moc"
