#pragma once
// The whole program for one AppFolder: the Linux file system and registry,
// the Qt prompts, shell and status window wired to the core's session, and
// the main window. main() makes one; tests and the benchmark make their own,
// handing in scripted prompts where the user would answer.

#include <memory>
#include <string>

namespace vrx {

class Dialogs;
class MainWindow;
class Prompts;
class QtStatusView;
class SettingsWindowHost;
class Shell;
class StatusWindow;
struct Session;

// Replacements for the Qt implementations; null keeps the program's own.
struct ProgramServices {
    Prompts* prompts = nullptr;
    Shell* shell = nullptr;
    SettingsWindowHost* settingsWindow = nullptr;
    Dialogs* dialogs = nullptr;  // the folder and file dialogs of the real settings window
};

class Program {
public:
    explicit Program(std::string appFolder, ProgramServices services = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the start-up and shows the main window; false when start-up ended
    // the program (its message has been shown) and the window stays hidden.
    bool start();

    MainWindow& mainWindow();
    Session& session();
    StatusWindow& statusWindow();
    QtStatusView& statusView();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace vrx
