#include "app/Program.h"

#include <utility>

#include "app/MainWindow.h"
#include "app/QtDialogs.h"
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
#include "platform/linux/HomeFolder.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxSimulatorPlaces.h"
#include "platform/linux/SimulatorDialogPlaces.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"
#include "settings/SettingsForm.h"
#include "settings/SimulatorProposal.h"

namespace vrx {

struct Program::Parts {
    Parts(std::string folder, ProgramServices services)
        : appFolder(std::move(folder)),
          prompts(services.prompts != nullptr ? *services.prompts : qtPrompts),
          shell(services.shell != nullptr ? *services.shell : qtShell),
          dialogs(services.dialogs != nullptr ? *services.dialogs : qtDialogs),
          settingsWindow(services.settingsWindow != nullptr ? *services.settingsWindow : qtSettingsWindow) {
        statusView.attach(status);
        qtSettingsWindow.setOwner(&window);
        statusView.setOwner(window);
        QObject::connect(&window, &MainWindow::coloursApplied, [this](const InterfaceColours& colours) {
            statusView.setColours(colours.FormBackColor, colours.TextForeColor);
            qtSettingsWindow.setColours(colours);
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
    // The dialogs offer the places the simulator search knows, looked at afresh at each opening.
    QtDialogs qtDialogs{[] { return SimulatorDialogPlaces(DefaultSimulatorSearchLocations()); }};
    Dialogs& dialogs;
    LinuxSimulatorPlaces simulatorPlaces{DefaultSimulatorSearchLocations(), fs};
    History history{fs, clock, appFolder};
    EzCfg sharedCfg{fs};
    AppSettings settings;
    QtStatusView statusView;
    StatusWindow status{statusView, prompts};
    Session session{fs, prompts, status, history, sharedCfg, settings, appFolder, SettingsFilePathFor(appFolder)};
    QtSettingsWindowHost qtSettingsWindow{session, dialogs,
                                          [this] { return ProposeSimulatorFolder(simulatorPlaces, fs); },
                                          DefaultBackupFolder(HomeFolder())};
    SettingsWindowHost& settingsWindow;
    MainWindow window{session, shell, settingsWindow, [this](const std::string& path) { return fs.resolve(path); }};
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
