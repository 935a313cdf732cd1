// The key=value file (settings.cfg, ui.cfg) read through the real file
// system: every pair taken is well formed; the pairs written and read back
// are the same pairs; a value stored with AddToCFG comes back from GetValue.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "config/EzCfg.h"
#include "platform/linux/LinuxFileSystem.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

bool HasOuterSpace(std::string_view s) {
    return !s.empty() && (s.front() == ' ' || s.back() == ' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string& scratch = vrx::fuzz::ScratchFolder();
    const std::string file = scratch + "/settings.cfg";
    const std::string copy = scratch + "/written.cfg";
    vrx::fuzz::WriteBytes(file, bytes);

    vrx::LinuxFileSystem fs;
    vrx::EzCfg cfg(fs);
    const std::int32_t taken = cfg.ReadCFG(file);
    VRX_FUZZ_CHECK(cfg.IsInitialised());
    VRX_FUZZ_CHECK(taken >= 0 && static_cast<std::size_t>(taken) == cfg.Entries().size());
    // No more pairs than line ends plus one.
    std::size_t lineEnds = 0;
    for (const char c : bytes) lineEnds += c == '\r';
    VRX_FUZZ_CHECK(static_cast<std::size_t>(taken) <= lineEnds + 1);

    for (const auto& [key, value] : cfg.Entries()) {
        VRX_FUZZ_CHECK(!value.empty());
        VRX_FUZZ_CHECK(!HasOuterSpace(key) && !HasOuterSpace(value));
        VRX_FUZZ_CHECK(key.find('=') == std::string::npos && value.find('=') == std::string::npos);
        VRX_FUZZ_CHECK(key.find('\r') == std::string::npos && value.find('\r') == std::string::npos);
    }

    // Written and read again: the same pairs, but for those a reader cannot
    // get back (an empty key is not written; a key starting "//" reads as a comment).
    Pairs expected;
    for (const auto& pair : cfg.Entries()) {
        if (!pair.first.empty() && !pair.first.starts_with("//")) expected.push_back(pair);
    }
    VRX_FUZZ_CHECK(cfg.WriteCFG(copy));
    vrx::EzCfg reread(fs);
    reread.ReadCFG(copy);
    VRX_FUZZ_CHECK(reread.Entries() == expected);

    // Every key finds a value; storing that value under the key in a fresh
    // object and reading it back gives the same text.
    vrx::EzCfg fresh(fs);
    for (const auto& [key, stored] : cfg.Entries()) {
        const std::string value = cfg.GetValue(key);
        VRX_FUZZ_CHECK(!value.empty() || key.empty());
        const std::string number = cfg.GetValue(key, true);
        VRX_FUZZ_CHECK(!number.empty() && number.front() != ' ');
        if (key.empty()) continue;
        VRX_FUZZ_CHECK(fresh.AddToCFG(key, value));
        VRX_FUZZ_CHECK(fresh.GetValue(key) == value);
    }
    // The fresh object's file reads back with the same values too.
    VRX_FUZZ_CHECK(fresh.WriteCFG(copy));
    vrx::EzCfg freshRead(fs);
    freshRead.ReadCFG(copy);
    for (const auto& [key, stored] : fresh.Entries()) {
        if (key.starts_with("//")) continue;
        VRX_FUZZ_CHECK(freshRead.GetValue(key) == fresh.GetValue(key));
    }
    return 0;
}
