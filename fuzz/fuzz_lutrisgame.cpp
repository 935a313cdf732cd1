// A Lutris game's file: whatever the text, the reader answers the same way
// twice, the same with CR LF line ends or a comment line before it, gives
// only UTF-8, and a prefix it read, written back in the file's quoted (and,
// where a writer would, plain) form, reads back as the same prefix.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/TextCodec.h"
#include "platform/linux/LutrisGameConfig.h"

namespace {

// A game's file around one prefix value as written.
std::string GameFile(const std::string& written) {
    return "game:\n  exe: /opt/fsx.exe\n  prefix: " + written + "\nsystem: {}\nwine:\n  version: lutris\n";
}

std::string DoubleQuoted(std::string_view value) {
    std::string out = "\"";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// '...' holds every character but line breaks (which fold) and controls (which the file may not hold).
bool SingleQuotable(std::string_view value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) return false;
    }
    return true;
}

std::string SingleQuoted(std::string_view value) {
    std::string out = "'";
    for (const char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

// What a writer leaves unquoted: a path with no blank at either end and
// nothing that would read as YAML syntax.
bool Plain(std::string_view value) {
    if (value.empty() || value.front() != '/' || value.back() == ' ' || value.back() == ':') return false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte < 0x20 || byte == 0x7F) return false;
        if (value[i] == ':' && i + 1 < value.size() && value[i + 1] == ' ') return false;
        if (value[i] == '#' && value[i - 1] == ' ') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto prefix = vrx::ReadLutrisGamePrefix(text);
    VRX_FUZZ_CHECK(vrx::ReadLutrisGamePrefix(std::string(text)) == prefix);

    // Line ends and a comment before the document change nothing.
    if (text.find('\r') == std::string_view::npos && text.size() < vrx::kMaxLutrisGameConfigText / 2) {
        std::string crlf;
        for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        VRX_FUZZ_CHECK(vrx::ReadLutrisGamePrefix(crlf) == prefix);
    }
    if (!text.starts_with("\xEF\xBB\xBF") && text.size() < vrx::kMaxLutrisGameConfigText - 16) {
        VRX_FUZZ_CHECK(vrx::ReadLutrisGamePrefix("# a comment\n" + std::string(text)) == prefix);
    }
    if (!prefix) return 0;

    VRX_FUZZ_CHECK(!prefix->empty());
    VRX_FUZZ_CHECK(vrx::ValidUtf8(*prefix) == *prefix);
    VRX_FUZZ_CHECK(vrx::ReadLutrisGamePrefix(GameFile(DoubleQuoted(*prefix))) == prefix);
    if (SingleQuotable(*prefix)) VRX_FUZZ_CHECK(vrx::ReadLutrisGamePrefix(GameFile(SingleQuoted(*prefix))) == prefix);
    if (Plain(*prefix)) VRX_FUZZ_CHECK(vrx::ReadLutrisGamePrefix(GameFile(*prefix)) == prefix);
    return 0;
}
