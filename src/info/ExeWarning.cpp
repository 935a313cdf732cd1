#include "info/ExeWarning.h"

namespace vrx {

bool AddressNeedsExeWarning(std::string_view address) {
    return address.find(".exe") != std::string_view::npos;
}

bool ExeConfirmations::downloadNeedsWarning(std::string_view address) const {
    return AddressNeedsExeWarning(address) && address != allowed_;
}

}  // namespace vrx
