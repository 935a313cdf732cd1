#include "config/EzCfg.h"

#include <string_view>

#include "config/NumberText.h"
#include "platform/FileSystem.h"
#include "platform/SpaceTrim.h"

namespace vrx {

namespace {

// The escape byte 0xA5 of the files, as it reads once decoded from Windows-1252.
constexpr std::string_view kEscape = "\xC2\xA5";

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t pos = 0;
    while (true) {
        const auto hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        result.append(text.substr(pos, hit - pos));
        result.append(to);
        pos = hit + from.size();
    }
    result.append(text.substr(pos));
    return result;
}

// Lower case as the Western Windows code page has it, so that keys with
// accented capitals still match whatever case the file spells them in.
std::string LowerCase(std::string_view utf8) {
    std::string result(utf8);
    for (std::size_t i = 0; i < result.size(); ++i) {
        auto& c = reinterpret_cast<unsigned char&>(result[i]);
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c + 32);
        } else if (i + 1 < result.size()) {
            auto& next = reinterpret_cast<unsigned char&>(result[i + 1]);
            if (c == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
                next = static_cast<unsigned char>(next + 0x20);  // U+00C0..U+00DE but the multiplication sign
            } else if (c == 0xC5 && (next == 0x92 || next == 0xA0 || next == 0xBD)) {
                next = static_cast<unsigned char>(next + 1);  // OE ligature, S and Z with caron
            } else if (c == 0xC5 && next == 0xB8) {
                c = 0xC3;  // Y with diaeresis lowers to U+00FF
                next = 0xBF;
            }
            if (c >= 0xC0) ++i;
        }
    }
    return result;
}

bool KeysMatch(std::string_view a, std::string_view b) {
    return LowerCase(a) == LowerCase(b);
}

}  // namespace

EzCfg::EzCfg(FileSystem& fs) : fs_(fs) {}

std::int32_t EzCfg::ReadCFG(const std::string& cfgFile) {
    entries_.clear();
    initialised_ = true;
    if (!fs_.isOrdinaryFile(cfgFile)) return 0;
    const auto text = fs_.readTextLines(cfgFile);
    if (!text) return 0;
    for (const auto& line : text->lines) {
        if (line.starts_with("//")) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos || line.find('=', equals + 1) != std::string::npos) continue;
        std::string value(TrimSpaces(std::string_view(line).substr(equals + 1)));
        if (value.empty()) continue;
        entries_.emplace_back(TrimSpaces(std::string_view(line).substr(0, equals)), std::move(value));
    }
    return static_cast<std::int32_t>(entries_.size());
}

std::string EzCfg::GetValue(const std::string& strName, bool numerical) const {
    for (const auto& [key, stored] : entries_) {
        if (!KeysMatch(key, strName)) continue;
        const std::string value = numerical ? NumberText(ValNumber(stored)) : stored;
        return ReplaceAll(ReplaceAll(value, std::string(kEscape) + "n", "\r\n"), std::string(kEscape) + "e", "=");
    }
    return numerical ? "0" : "";
}

bool EzCfg::WriteCFG(const std::string& cfgFile) const {
    std::vector<std::string> lines;
    lines.reserve(entries_.size());
    for (const auto& [key, value] : entries_) {
        if (!key.empty()) lines.push_back(key + "=" + value);
    }
    return fs_.writeTextFile(cfgFile, lines) == WriteResult::Ok;
}

void EzCfg::InitCFG() {
    entries_.clear();
    initialised_ = true;
}

bool EzCfg::AddToCFG(const std::string& strName, const std::string& strValue) {
    if (!initialised_) InitCFG();
    const std::string name(TrimSpaces(strName));
    const std::string value(TrimSpaces(
        ReplaceAll(ReplaceAll(strValue, "\r\n", std::string(kEscape) + "n"), "=", std::string(kEscape) + "e")));
    if (name.empty()) return false;
    for (auto& [key, stored] : entries_) {
        if (KeysMatch(key, name)) {
            stored = value;
            return true;
        }
    }
    entries_.emplace_back(name, value);
    return true;
}

}  // namespace vrx
