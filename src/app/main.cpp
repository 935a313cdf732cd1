// verdantis: the add-on's manager, run from the add-on's folder.

#include <QApplication>

#include "app/BrowserEnvironment.h"
#include "app/BundledFonts.h"
#include "app/Program.h"
#include "platform/linux/AppFolder.h"
#include "platform/linux/DisplayPlatform.h"
#include "platform/linux/FileSizeSignal.h"

int main(int argc, char* argv[]) {
    // A write past a file-size limit must fail like any other write error,
    // not kill the program in the middle of a copy.
    vrx::IgnoreFileSizeSignal();

    vrx::PrepareBrowserEnvironment();
    // X11 (XWayland) on a Wayland desktop that has it, as the program places
    // its own windows; asked of Qt for this process only.
    vrx::DisplayPlatformRequest displayPlatform;
    QApplication app(argc, argv);
    displayPlatform.withdraw();
    app.setApplicationName(QStringLiteral("Verdantis"));
    // Its windows belong to the desktop entry verdantis.desktop (a Wayland
    // desktop takes the icon and the name in the task bar from it).
    app.setDesktopFileName(QStringLiteral("verdantis"));
    // The main window decides when the program ends; the status window closing does not.
    app.setQuitOnLastWindowClosed(false);

    // The fonts the windows are laid out for, when the program brings them.
    vrx::AddBundledFonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));

#ifdef VRX_BUNDLED
    // In the portable bundle the program lives in its folder beside the
    // add-on's files (its starter checked that folder): the add-on's folder
    // is the one above.
    vrx::Program program(vrx::FolderAbove(vrx::ExecutableFolder()));
#else
    vrx::Program program(vrx::ExecutableFolder());
#endif
    if (!program.start()) return 0;
    return QApplication::exec();
}
