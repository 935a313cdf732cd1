// The program as a child process of a test, on the offscreen platform:
//   vrx_program_child install APPFOLDER
//       installs the checked areas and prints how long the click took on the
//       monotonic clock and on the wall clock ("steady_ms=N wall_s=N")
//   vrx_program_child close-during-install APPFOLDER
//       closes the main window as soon as the install first lets events run;
//       the program must end there (exit 0). Reaching the end of the install
//       prints "install finished" and exits with 3.
//   vrx_program_child leave-settings-during-install APPFOLDER
//       as soon as the install first lets events run, removes the settings
//       file, opens the settings window and closes it; without a settings
//       file the program must end there (exit 0). Reaching the end of the
//       install prints "install finished" and exits with 3.
//   vrx_program_child click-during-pause APPFOLDER
//       installs, and while the completion pause holds the program a click
//       on the install button arrives; the events left are then handled.
// Message boxes are answered No and printed as "prompt: TEXT".

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "config/AppSettings.h"
#include "gui/GuiSupport.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: %s install|close-during-install|leave-settings-during-install|click-during-pause "
                     "APPFOLDER\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const std::string mode = argv[1];
    const bool mustEnd = mode == "close-during-install" || mode == "leave-settings-during-install";
    vrx::test::GuiPrompts prompts;
    vrx::Program program(argv[2], vrx::ProgramServices{&prompts});
    if (!program.start()) {
        std::fprintf(stderr, "start-up ended the program\n");
        return 4;
    }
    auto* install = program.mainWindow().findChild<QAbstractButton*>("Sidebar5");
    if (mode == "close-during-install") {
        QTimer::singleShot(0, &program.mainWindow(), [&program] { program.mainWindow().close(); });
    }
    if (mode == "leave-settings-during-install") {
        const std::string settingsFile = vrx::SettingsFilePathFor(argv[2]);
        QTimer::singleShot(0, &program.mainWindow(), [&program, settingsFile] {
            std::filesystem::remove(settingsFile);
            QTimer::singleShot(0, [] {
                if (QWidget* settings = QApplication::activeModalWidget()) settings->close();
            });
            program.mainWindow().findChild<QAbstractButton*>("Sidebar3")->click();
        });
    }
    // Posted from another thread, as the window system queues a click while
    // the program does not handle events: well inside the 1.5 s pause after two files.
    std::thread clicker;
    if (mode == "click-during-pause") {
        const QPointF centre = QRectF(install->rect()).center();
        const QPointF global = install->mapToGlobal(centre);
        clicker = std::thread([install, centre, global] {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
                QCoreApplication::postEvent(
                    install, new QMouseEvent(type, centre, global, Qt::LeftButton, held, Qt::NoModifier));
            }
        });
    }

    const auto steadyStart = std::chrono::steady_clock::now();
    const auto wallStart = std::chrono::system_clock::now();
    install->click();
    const auto steadyMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - steadyStart).count();
    const auto wallS =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now() - wallStart).count();
    if (clicker.joinable()) {
        clicker.join();
        QCoreApplication::processEvents();
    }
    for (const auto& shown : prompts.shown) std::printf("prompt: %s\n", shown.text.c_str());
    if (mustEnd) {
        std::printf("install finished\n");
        return 3;
    }
    std::printf("steady_ms=%lld wall_s=%lld\n", static_cast<long long>(steadyMs), static_cast<long long>(wallS));
    return 0;
}
