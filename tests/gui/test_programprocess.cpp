// The program run as a child process: what ends it, and how long the
// completion pause lasts when the wall clock moves meanwhile.

#include <QProcess>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/GuiSupport.h"

using vrx::test::AddonFolder;
using vrx::test::AreaLine;

namespace {

int FilesIn(const std::string& folder) {
    int count = 0;
    if (!std::filesystem::exists(folder)) return 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
    return count;
}

int LinesOf(const std::string& file) {
    std::ifstream in(file);
    int count = 0;
    for (std::string line; std::getline(in, line);) ++count;
    return count;
}

// Runs the child on folder; its standard output, or a failure.
QString RunChild(const QString& mode, const AddonFolder& folder, QProcessEnvironment env, int* exitCode) {
    QProcess child;
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.dir / "config"));
    env.insert("WINEPREFIX", QString::fromStdString(folder.dir / "wine"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(VRX_PROGRAM_CHILD, {mode, QString::fromStdString(folder.app())});
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return "timed out";
    }
    *exitCode = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    return QString::fromUtf8(child.readAllStandardOutput()) + QString::fromUtf8(child.readAllStandardError());
}

}  // namespace

class ProgramProcessTest : public QObject {
    Q_OBJECT
private slots:
    // Closing the main window, or leaving the settings window without a
    // settings file, while an install runs ends the program there: the rest
    // of the files are not copied and no history line is written.
    void endingTheProgramMidInstallEndsItThere_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("closing the main window") << QStringLiteral("close-during-install");
        QTest::newRow("leaving settings without the file") << QStringLiteral("leave-settings-during-install");
    }
    void endingTheProgramMidInstallEndsItThere() {
        QFETCH(QString, mode);
        AddonFolder folder;
        folder.WriteMediaPictures();
        folder.WriteCatalogue({AreaLine(1)}, 300);
        int exitCode = -2;
        const QString output = RunChild(mode, folder, QProcessEnvironment::systemEnvironment(), &exitCode);
        QVERIFY2(exitCode == 0, qPrintable(output));
        QVERIFY2(!output.contains("install finished"), qPrintable(output));
        QVERIFY2(!output.contains("prompt:"), qPrintable(output));
        const int copied = FilesIn(folder.fsx() + "/Texture");
        QVERIFY2(copied < 300, qPrintable(QString::number(copied)));
        QVERIFY(!std::filesystem::exists(folder.app() + "/history.txt"));
    }

    // A click on Install while the completion pause holds the program finds
    // the button still off, as it looked: the areas are installed once.
    void aClickDuringTheCompletionPauseStartsNoSecondInstall() {
        AddonFolder folder;
        folder.WriteMediaPictures();
        folder.WriteCatalogue({AreaLine(1)}, 2);
        int exitCode = -2;
        const QString output =
            RunChild("click-during-pause", folder, QProcessEnvironment::systemEnvironment(), &exitCode);
        QVERIFY2(exitCode == 0, qPrintable(output));
        QCOMPARE(FilesIn(folder.fsx() + "/Texture"), 2);
        QCOMPARE(LinesOf(folder.app() + "/history.txt"), 1);
    }

    // The wall clock runs an hour ahead at every reading during the install;
    // the completion pause still lasts its 1.5 seconds.
    void completionPauseIgnoresTheWallClock() {
        AddonFolder folder;
        folder.WriteMediaPictures();
        folder.WriteCatalogue({AreaLine(1)}, 2);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", VRX_WALLCLOCK_JUMP);
        int exitCode = -2;
        const QString output = RunChild("install", folder, env, &exitCode);
        QVERIFY2(exitCode == 0, qPrintable(output));
        const QRegularExpression times("steady_ms=(\\d+) wall_s=(\\d+)");
        const QRegularExpressionMatch match = times.match(output);
        QVERIFY2(match.hasMatch(), qPrintable(output));
        // The shim did move the wall clock...
        QVERIFY2(match.captured(2).toLongLong() >= 3600, qPrintable(output));
        // ...and the click, pause included, still took at least 1.5 s.
        QVERIFY2(match.captured(1).toLongLong() >= 1500, qPrintable(output));
        QCOMPARE(FilesIn(folder.fsx() + "/Texture"), 2);
    }
};

QTEST_MAIN(ProgramProcessTest)
#include "test_programprocess.moc"
