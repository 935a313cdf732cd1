#include "app/QtSettingsWindowHost.h"

#include <utility>

#include "app/SettingsWindow.h"
#include "settings/CFileDialog.h"

namespace vrx {

QtSettingsWindowHost::QtSettingsWindowHost(Session& session, Dialogs& dialogs,
                                           std::function<std::string()> findSimulatorFolder,
                                           std::string defaultBackupFolder)
    : session_(session),
      dialogs_(dialogs),
      findSimulatorFolder_(std::move(findSimulatorFolder)),
      defaultBackupFolder_(std::move(defaultBackupFolder)) {}

QtSettingsWindowHost::~QtSettingsWindowHost() = default;

bool QtSettingsWindowHost::OpenModal() {
    SettingsWindow window(
        session_, SettingsFormServices{dialogs_, fileDialog_, findSimulatorFolder_, defaultBackupFolder_, colours_},
        owner_);
    window.exec();
    return !window.programMustEnd();
}

}  // namespace vrx
