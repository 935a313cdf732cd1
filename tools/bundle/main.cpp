// vrx_bundle_files OUT_DIR: the files scripts/bundle makes from the program's
// own code rather than copies: the program's icon as PNG pictures in the
// usual sizes (OUT_DIR/icons/hicolor/NxN/apps/verdantis.png, as desktops
// look icons up) and the version as the program shows it (OUT_DIR/version.txt).

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "app/WindowConventions.h"
#include "config/VersionText.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrx_bundle_files OUT_DIR\n");
        return 2;
    }
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = out.filePath(QStringLiteral("icons/hicolor/%1x%1/apps").arg(size));
        const QPixmap picture = vrx::ProgramIcon().pixmap(size, size);
        if (!QDir().mkpath(folder) || picture.width() != size ||
            !picture.save(folder + QStringLiteral("/verdantis.png"), "PNG")) {
            std::fprintf(stderr, "vrx_bundle_files: cannot write the %dx%d icon into %s\n", size, size,
                         qPrintable(folder));
            return 1;
        }
    }
    QFile version(out.filePath(QStringLiteral("version.txt")));
    if (!version.open(QIODevice::WriteOnly) || version.write(QByteArray::fromStdString(vrx::ProgramVersionText())) < 0 ||
        !version.flush()) {
        std::fprintf(stderr, "vrx_bundle_files: cannot write %s\n", qPrintable(version.fileName()));
        return 1;
    }
    return 0;
}
