#pragma once
// The settings window as the start-up check and the sidebar open it: a new
// window for each opening, shown modally over the main window. It keeps the
// file dialog object for the whole run, and the main window's colours.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "backup/StartupCheck.h"
#include "ui/InterfaceColours.h"

namespace vrx {

struct Session;
class CFileDialog;
class Dialogs;

class QtSettingsWindowHost final : public SettingsWindowHost {
public:
    // findSimulatorFolder: the folder to propose when none is set.
    QtSettingsWindowHost(Session& session, Dialogs& dialogs, std::function<std::string()> findSimulatorFolder,
                         std::string defaultBackupFolder);
    ~QtSettingsWindowHost() override;

    void setOwner(QWidget* owner) { owner_ = owner; }
    void setColours(const InterfaceColours& colours) { colours_ = colours; }

    // Shows the window and waits; false when it was left without settings
    // and the program must end.
    bool OpenModal() override;

private:
    Session& session_;
    Dialogs& dialogs_;
    std::function<std::string()> findSimulatorFolder_;
    std::string defaultBackupFolder_;
    InterfaceColours colours_;
    QPointer<QWidget> owner_;
    std::unique_ptr<CFileDialog> fileDialog_;
};

}  // namespace vrx
