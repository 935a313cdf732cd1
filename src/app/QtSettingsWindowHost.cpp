#include "app/QtSettingsWindowHost.h"

#include "platform/Prompts.h"

namespace vrx {

bool QtSettingsWindowHost::OpenModal() {
    prompts_.message(kSettingsNotAvailable);
    return false;
}

}  // namespace vrx
