#pragma once
// The text format of Wine's registry files (system.reg), which our own
// registry store uses as well so that one parser reads both:
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to \\Machine
//   #arch=win64
//
//   [Software\\Maker\\Product] 1700000000
//   #time=1d9f0b1c2e3a4b5
//   "Name"="text"
//   @="default value"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vrx {

struct RegistryValue {
    std::string name;  // "" for the default value (@)
    std::string data;  // the text after "=", as it stands in the file (continuation lines included)
};

struct RegistryKey {
    std::string path;  // single backslashes, relative to the file's root
    std::vector<RegistryValue> values;
};

struct RegistryFile {
    bool win64 = false;  // "#arch=win64": 32-bit programs see Software\Wow6432Node
    std::vector<RegistryKey> keys;
    // Index into keys by case-folded path; kept by keyFor.
    std::unordered_map<std::string, std::size_t> keyIndex;

    // The key at path, compared without regard to case; nullptr when absent.
    const RegistryKey* findKey(std::string_view path) const;
    // The key at path, appended when absent.
    RegistryKey& keyFor(std::string_view path);
};

// Reads registry text; lines it does not understand are skipped.
RegistryFile ParseRegistryText(std::string_view text);

// The file's text, each key stamped with the given time in seconds.
std::string FormatRegistryText(const RegistryFile& file, long long stampSeconds);

// The text of a string value (plain "..." or expandable str(2):"..."),
// compared by name without regard to case; nullopt when absent or not a string.
std::optional<std::string> StringValue(const RegistryKey& key, std::string_view name);

// Stores text as the plain string value name of key; false when text is not valid UTF-8.
bool SetStringValue(RegistryKey& key, std::string_view name, std::string_view text);

// path without leading, trailing or doubled backslashes.
std::string NormalizeKeyPath(std::string_view path);

}  // namespace vrx
