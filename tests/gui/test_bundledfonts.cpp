// The bundle's fonts loaded by the program at start, on a system whose font
// configuration knows only DejaVu (no Arial, no metric-compatible stand-in,
// no aliases), as a desktop with only the baseline's fonts has it.

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/BundledFonts.h"
#include "support/TempDir.h"

namespace {

const char* const kLiberation[] = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                   "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"};

QString Family(bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setBold(bold);
    return QFontInfo(font).family();
}

}  // namespace

class BundledFontsTest : public QObject {
    Q_OBJECT

private slots:
    void aMissingFolderAddsNothing() {
        vrx::test::TempDir dir;
        QCOMPARE(vrx::AddBundledFonts(QString::fromStdString(dir / "fonts")), 0);
        // Without the bundle's fonts Arial falls to one of the system's DejaVu fonts.
        QVERIFY(Family(false).startsWith(QStringLiteral("DejaVu")));
    }

    void arialIsDrawnWithTheBundlesLiberationSans() {
        vrx::test::TempDir dir;
        const std::string fonts = dir / "fonts";
        vrx::test::MakeDirs(fonts);
        for (const char* name : kLiberation) {
            std::filesystem::copy_file(std::string("/usr/share/fonts/truetype/liberation/") + name, fonts + "/" + name);
        }
        vrx::test::WriteFile(fonts + "/broken.ttf", "not a font");
        vrx::test::WriteFile(fonts + "/LICENSE.txt", "text");
        QCOMPARE(vrx::AddBundledFonts(QString::fromStdString(fonts)), 4);
        QCOMPARE(Family(false), QStringLiteral("Liberation Sans"));
        QCOMPARE(Family(true), QStringLiteral("Liberation Sans"));
        QVERIFY(QFontInfo(QFont(QStringLiteral("Arial"), 9, QFont::Bold)).bold());
    }
};

int main(int argc, char* argv[]) {
    // A font configuration of the test's own, set before Qt reads one.
    vrx::test::TempDir config;
    vrx::test::WriteFile(config / "fonts.conf",
                         "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                         "  <dir>/usr/share/fonts/truetype/dejavu</dir>\n  <cachedir>" +
                             (config / "cache") + "</cachedir>\n</fontconfig>\n");
    setenv("FONTCONFIG_FILE", (config / "fonts.conf").c_str(), 1);
    QApplication app(argc, argv);
    BundledFontsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_bundledfonts.moc"
