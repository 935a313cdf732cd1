// Steam's library list (libraryfolders.vdf): whatever the text, the reader
// answers the same way twice, and a list written back in the file's own
// form reads back as the same list.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "platform/linux/SteamLibraryFolders.h"

namespace {

// The file as Steam writes it, one library per numbered block.
std::string Format(const std::vector<std::string>& paths, bool escapeBackslashes) {
    std::string text = "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string quoted;
        for (const char c : paths[i]) {
            if (escapeBackslashes && (c == '\\' || c == '"')) quoted += '\\';
            quoted += c;
        }
        text += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + quoted +
                "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t}\n\t}\n";
    }
    return text + "}\n";
}

// Whether the reader turns "\\" in a quoted string into one backslash, as Steam writes them.
bool ReaderUnescapes() {
    static const bool unescapes = [] {
        const auto probe = vrx::ParseLibraryFolders(Format({"C:\\Games"}, true));
        return probe && probe->size() == 1 && probe->front() == "C:\\Games";
    }();
    return unescapes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto libraries = vrx::ParseLibraryFolders(text);
    VRX_FUZZ_CHECK(vrx::ParseLibraryFolders(std::string(text)) == libraries);
    if (!libraries) return 0;

    const bool unescapes = ReaderUnescapes();
    for (const std::string& path : *libraries) {
        // Paths a quoted string cannot hold in the reader's form are not written back.
        if (path.find('"') != std::string::npos && !unescapes) return 0;
        if (!unescapes && path.find('\\') != std::string::npos) return 0;
        if (path.empty() || path.find_first_of("\r\n\t") != std::string::npos) return 0;
    }
    const auto again = vrx::ParseLibraryFolders(Format(*libraries, unescapes));
    VRX_FUZZ_CHECK(again.has_value());
    VRX_FUZZ_CHECK(*again == *libraries);
    return 0;
}
