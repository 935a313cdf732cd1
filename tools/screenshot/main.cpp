// Saves a picture of the whole screen of the current display as a PNG:
//   vrx_screenshot FILE
// Used by scripts/demo --screenshot and by the end-to-end test on failure.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrx_screenshot FILE\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fprintf(stderr, "vrx_screenshot: no screen\n");
        return 1;
    }
    const QPixmap picture = screen->grabWindow(0);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "vrx_screenshot: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
