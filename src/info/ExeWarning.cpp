#include "info/ExeWarning.h"

#include <cctype>

namespace vrx {

bool AddressNeedsExeWarning(std::string_view address) {
    return address.find(".exe") != std::string_view::npos;
}

bool FileNameNeedsExeWarning(std::string_view fileName) {
    constexpr std::string_view kProgram = ".exe";
    if (fileName.size() < kProgram.size()) return false;
    const std::string_view end = fileName.substr(fileName.size() - kProgram.size());
    for (std::size_t i = 0; i < kProgram.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(end[i])) != kProgram[i]) return false;
    }
    return true;
}

bool ExeConfirmations::downloadNeedsWarning(std::string_view address, std::string_view fileName) const {
    if (!AddressNeedsExeWarning(address) && !FileNameNeedsExeWarning(fileName)) return false;
    // Nothing allowed yet allows no address, not even an empty one.
    return allowed_.empty() || address != allowed_;
}

}  // namespace vrx
