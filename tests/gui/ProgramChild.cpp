// The program as a child process of a test, on the offscreen platform:
//   vrx_program_child install APPFOLDER
//       installs the checked areas and prints how long the click took on the
//       monotonic clock and on the wall clock ("steady_ms=N wall_s=N")
//   vrx_program_child close-during-install APPFOLDER
//       closes the main window as soon as the install first lets events run;
//       the program must end there (exit 0). Reaching the end of the install
//       prints "install finished" and exits with 3.
// Message boxes are answered No and printed as "prompt: TEXT".

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "gui/GuiSupport.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s install|close-during-install APPFOLDER\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const bool closeDuringInstall = std::strcmp(argv[1], "close-during-install") == 0;
    vrx::test::GuiPrompts prompts;
    vrx::Program program(argv[2], vrx::ProgramServices{&prompts});
    if (!program.start()) {
        std::fprintf(stderr, "start-up ended the program\n");
        return 4;
    }
    auto* install = program.mainWindow().findChild<QAbstractButton*>("Sidebar5");
    if (closeDuringInstall) QTimer::singleShot(0, &program.mainWindow(), [&program] { program.mainWindow().close(); });

    const auto steadyStart = std::chrono::steady_clock::now();
    const auto wallStart = std::chrono::system_clock::now();
    install->click();
    const auto steadyMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - steadyStart).count();
    const auto wallS =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now() - wallStart).count();
    for (const auto& shown : prompts.shown) std::printf("prompt: %s\n", shown.text.c_str());
    if (closeDuringInstall) {
        std::printf("install finished\n");
        return 3;
    }
    std::printf("steady_ms=%lld wall_s=%lld\n", static_cast<long long>(steadyMs), static_cast<long long>(wallS));
    return 0;
}
