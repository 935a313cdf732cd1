// Wine's registry file text (system.reg, and our own store in the same
// format): every key is findable under its normalised path, and the text
// written from what was read reads back to the same keys and string values.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/linux/WineRegText.h"
#include "platform/linux/WineRegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vrx::RegistryFile file = vrx::ParseRegistryText(text);

    VRX_FUZZ_CHECK(file.keyIndex.size() == file.keys.size());
    for (const vrx::RegistryKey& key : file.keys) {
        VRX_FUZZ_CHECK(vrx::NormalizeKeyPath(key.path) == key.path);
        VRX_FUZZ_CHECK(file.findKey(key.path) == &key);
        VRX_FUZZ_CHECK(file.findKey("\\\\" + key.path + "\\") == &key);
    }

    // Written and read again: the same keys in the same order, and every
    // string value (what the program reads) the same.
    const std::string written = vrx::FormatRegistryText(file, 1700000000);
    const vrx::RegistryFile reread = vrx::ParseRegistryText(written);
    VRX_FUZZ_CHECK(reread.win64 == file.win64);
    VRX_FUZZ_CHECK(reread.keys.size() == file.keys.size());
    for (std::size_t i = 0; i < file.keys.size(); ++i) {
        const vrx::RegistryKey& a = file.keys[i];
        const vrx::RegistryKey& b = reread.keys[i];
        VRX_FUZZ_CHECK(a.path == b.path);
        VRX_FUZZ_CHECK(a.values.size() == b.values.size());
        for (std::size_t v = 0; v < a.values.size(); ++v) {
            VRX_FUZZ_CHECK(a.values[v].name == b.values[v].name);
            VRX_FUZZ_CHECK(vrx::StringValue(a, a.values[v].name) == vrx::StringValue(b, a.values[v].name));
        }
    }

    // A string stored with SetStringValue reads back as itself.
    vrx::RegistryFile copy = reread;
    vrx::RegistryKey& key = copy.keyFor("Software\\Fuzz");
    const std::string stored(text.substr(0, 256));
    if (vrx::SetStringValue(key, "Path", stored)) {
        VRX_FUZZ_CHECK(vrx::StringValue(key, "path") == stored);
        const vrx::RegistryFile again = vrx::ParseRegistryText(vrx::FormatRegistryText(copy, 1));
        const vrx::RegistryKey* found = again.findKey("software\\fuzz");
        VRX_FUZZ_CHECK(found != nullptr);
        VRX_FUZZ_CHECK(vrx::StringValue(*found, "Path") == stored);
    }

    // Escaping and unescaping a quoted string is the identity on valid UTF-8.
    if (const auto escaped = vrx::EscapeRegText(text)) {
        const std::string quoted = *escaped + "\"";
        std::size_t pos = 0;
        const auto back = vrx::UnescapeRegText(quoted, pos, '"');
        VRX_FUZZ_CHECK(back.has_value() && *back == text);
        VRX_FUZZ_CHECK(pos == quoted.size());
    }
    return 0;
}
