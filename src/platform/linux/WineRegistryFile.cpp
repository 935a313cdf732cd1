#include "platform/linux/WineRegistryFile.h"

#include "platform/linux/CaseFold.h"
#include "platform/linux/WineRegText.h"

namespace vrx {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
constexpr std::string_view kRootComment = ";; All keys relative to \\\\Machine";
constexpr std::string_view kArchLine = "#arch=win64";
constexpr std::string_view kExpandPrefix = "str(2):";

bool SameName(std::string_view a, std::string_view b) { return a.size() == b.size() && FoldCase(a) == FoldCase(b); }

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

}  // namespace

const RegistryKey* RegistryFile::findKey(std::string_view path) const {
    const auto found = keyIndex.find(FoldCase(NormalizeKeyPath(path)));
    return found == keyIndex.end() ? nullptr : &keys[found->second];
}

RegistryKey& RegistryFile::keyFor(std::string_view path) {
    std::string normalized = NormalizeKeyPath(path);
    const auto [found, added] = keyIndex.try_emplace(FoldCase(normalized), keys.size());
    if (added) keys.push_back({std::move(normalized), {}});
    return keys[found->second];
}

RegistryFile ParseRegistryText(std::string_view text) {
    RegistryFile file;
    RegistryKey* current = nullptr;  // only ever the key added last, so growth of keys cannot leave it dangling
    const auto lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimLeft(lines[i]);
        if (line == kArchLine) {
            file.win64 = true;
        } else if (line.starts_with('[')) {
            std::size_t pos = 1;
            const auto path = UnescapeRegText(line, pos, ']');
            current = path ? &file.keyFor(*path) : nullptr;
        } else if (current && (line.starts_with('"') || line.starts_with('@'))) {
            std::size_t pos = 1;
            std::optional<std::string> name =
                line.starts_with('@') ? std::optional<std::string>("") : UnescapeRegText(line, pos, '"');
            if (!name || pos >= line.size() || line[pos] != '=') continue;
            std::string data(line.substr(pos + 1));
            // Long binary values go on over lines that end with a backslash.
            while (!data.empty() && data.back() == '\\' && i + 1 < lines.size()) data += "\n" + std::string(lines[++i]);
            bool replaced = false;
            for (auto& value : current->values) {
                if (SameName(value.name, *name)) {
                    value.data = data;
                    replaced = true;
                }
            }
            if (!replaced) current->values.push_back({*name, std::move(data)});
        }
        // Comments (";"), "#time=" and anything unknown are skipped.
    }
    return file;
}

std::string FormatRegistryText(const RegistryFile& file, long long stampSeconds) {
    std::string text;
    text += kHeader;
    text += '\n';
    text += kRootComment;
    text += '\n';
    if (file.win64) {
        text += kArchLine;
        text += '\n';
    }
    for (const auto& key : file.keys) {
        text += "\n[";
        text += EscapeRegText(key.path, "[]").value_or(key.path);
        text += "] " + std::to_string(stampSeconds) + "\n";
        for (const auto& value : key.values) {
            if (value.name.empty()) {
                text += "@";
            } else {
                text += "\"" + EscapeRegText(value.name).value_or(value.name) + "\"";
            }
            text += "=" + value.data + "\n";
            // A value cut off after a continuation backslash would swallow the
            // next line when read again; an empty line ends it instead.
            if (value.data.ends_with('\\')) text += '\n';
        }
    }
    return text;
}

std::optional<std::string> StringValue(const RegistryKey& key, std::string_view name) {
    for (const auto& value : key.values) {
        if (!SameName(value.name, name)) continue;
        std::string_view data = value.data;
        if (data.starts_with(kExpandPrefix)) data.remove_prefix(kExpandPrefix.size());  // returned unexpanded
        if (!data.starts_with('"')) return std::nullopt;
        std::size_t pos = 1;
        return UnescapeRegText(data, pos, '"');
    }
    return std::nullopt;
}

bool SetStringValue(RegistryKey& key, std::string_view name, std::string_view text) {
    const auto escaped = EscapeRegText(text);
    if (!escaped) return false;
    const std::string data = "\"" + *escaped + "\"";
    for (auto& value : key.values) {
        if (SameName(value.name, name)) {
            value.data = data;
            return true;
        }
    }
    key.values.push_back({std::string(name), data});
    return true;
}

std::string NormalizeKeyPath(std::string_view path) {
    std::string normalized;
    for (const char c : path) {
        if (c == '\\' && (normalized.empty() || normalized.back() == '\\')) continue;
        normalized += c;
    }
    if (!normalized.empty() && normalized.back() == '\\') normalized.pop_back();
    return normalized;
}

}  // namespace vrx
