// backup.lst read through the real file system: the count is the number the
// first line spells, or the list is refused; entries are the lines that
// follow, one for one, with "\" turned into "/"; and the count parser reads
// back every number it writes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "backup/BackupList.h"
#include "platform/TextCodec.h"
#include "platform/TextLines.h"
#include "platform/linux/LinuxFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = vrx::fuzz::ScratchFolder() + "/backup.lst";
    vrx::fuzz::WriteBytes(file, bytes);

    // The lines as an independent reading of the same bytes gives them.
    const std::vector<std::string> lines = vrx::SplitTextLines(vrx::DecodeWindows1252(bytes));

    vrx::LinuxFileSystem fs;
    const auto list = vrx::BackupList::Read(fs, file);
    const auto count = lines.empty() ? std::nullopt : vrx::ParseListCount(lines.front());
    VRX_FUZZ_CHECK(list.has_value() == count.has_value());
    if (count) {
        VRX_FUZZ_CHECK(list->Count() == *count);
        // The count as text reads back as itself, with spaces and a plus sign too.
        VRX_FUZZ_CHECK(vrx::ParseListCount(std::to_string(*count)) == count);
        VRX_FUZZ_CHECK(vrx::ParseListCount("  " + std::to_string(*count) + " ") == count);
        if (*count >= 0) VRX_FUZZ_CHECK(vrx::ParseListCount("+" + std::to_string(*count)) == count);
        VRX_FUZZ_CHECK(!list->Entry(1).has_value() && !list->Entry(0).has_value() && !list->Entry(-1).has_value());
        for (std::size_t n = 2; n <= lines.size(); ++n) {
            const auto entry = list->Entry(static_cast<std::int64_t>(n));
            VRX_FUZZ_CHECK(entry.has_value());
            VRX_FUZZ_CHECK(entry->size() == lines[n - 1].size());
            VRX_FUZZ_CHECK(entry->find('\\') == std::string::npos);
            for (std::size_t i = 0; i < entry->size(); ++i) {
                const char expected = lines[n - 1][i] == '\\' ? '/' : lines[n - 1][i];
                VRX_FUZZ_CHECK((*entry)[i] == expected);
            }
        }
        VRX_FUZZ_CHECK(!list->Entry(static_cast<std::int64_t>(lines.size()) + 1).has_value());
        VRX_FUZZ_CHECK(!list->Entry(INT64_MAX).has_value());
    }

    // Any first line the parser accepts is digits between optional spaces and one sign.
    if (!lines.empty() && count) {
        std::string_view first = lines.front();
        while (!first.empty() && first.front() == ' ') first.remove_prefix(1);
        while (!first.empty() && first.back() == ' ') first.remove_suffix(1);
        if (first.front() == '+' || first.front() == '-') first.remove_prefix(1);
        VRX_FUZZ_CHECK(!first.empty());
        for (const char c : first) VRX_FUZZ_CHECK(c >= '0' && c <= '9');
    }
    return 0;
}
