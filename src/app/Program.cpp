#include "app/Program.h"

#include <utility>

#include "app/MainWindow.h"
#include "app/QtPrompts.h"
#include "app/QtSettingsWindowHost.h"
#include "app/QtShell.h"
#include "app/QtStatusView.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "config/VersionText.h"
#include "history/History.h"
#include "mainform/Startup.h"
#include "platform/Clock.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxRegistry.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"

namespace vrx {

struct Program::Parts {
    Parts(std::string folder, ProgramServices services)
        : appFolder(std::move(folder)),
          prompts(services.prompts != nullptr ? *services.prompts : qtPrompts),
          shell(services.shell != nullptr ? *services.shell : qtShell),
          settingsWindow(services.settingsWindow != nullptr ? *services.settingsWindow : qtSettingsWindow) {
        statusView.attach(status);
        statusView.setOwner(window);
        QObject::connect(&window, &MainWindow::coloursApplied, [this](const InterfaceColours& colours) {
            statusView.setColours(colours.FormBackColor, colours.TextForeColor);
        });
    }

    std::string appFolder;
    LinuxFileSystem fs;
    SystemClock clock;
    LinuxRegistry registry{DefaultRegistryLocations(), fs};
    QtPrompts qtPrompts;
    Prompts& prompts;
    QtShell qtShell{[this](const std::string& path) { return fs.resolve(path); }};
    Shell& shell;
    QtSettingsWindowHost qtSettingsWindow{prompts};
    SettingsWindowHost& settingsWindow;
    History history{fs, clock, appFolder};
    EzCfg sharedCfg{fs};
    AppSettings settings;
    QtStatusView statusView;
    StatusWindow status{statusView, prompts};
    Session session{fs, prompts, status, history, sharedCfg, settings, appFolder, SettingsFilePathFor(appFolder)};
    MainWindow window{session, shell, [this](const std::string& path) { return fs.resolve(path); }};
};

Program::Program(std::string appFolder, ProgramServices services)
    : parts_(std::make_unique<Parts>(std::move(appFolder), services)) {}

Program::~Program() = default;

bool Program::start() {
    const StartupResult result =
        RunStartup(parts_->session, parts_->window, parts_->settingsWindow, parts_->registry, ProgramVersionText());
    if (!result.showWindow) return false;
    parts_->window.show();
    return true;
}

MainWindow& Program::mainWindow() {
    return parts_->window;
}

Session& Program::session() {
    return parts_->session;
}

StatusWindow& Program::statusWindow() {
    return parts_->status;
}

QtStatusView& Program::statusView() {
    return parts_->statusView;
}

}  // namespace vrx
