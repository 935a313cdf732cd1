#include "platform/linux/WineRegText.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/TextCodec.h"

namespace vrx {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}


// Collects UTF-16 code units from escapes, pairing surrogates, next to plain bytes.
class Utf8Builder {
public:
    void unit(char16_t u) {
        if (high_ && u >= 0xDC00 && u <= 0xDFFF) {
            AppendUtf8(out_, 0x10000 + ((static_cast<char32_t>(*high_) - 0xD800) << 10) + (u - 0xDC00));
            high_.reset();
            return;
        }
        flush();
        if (u >= 0xD800 && u <= 0xDBFF) {
            high_ = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            AppendUtf8(out_, 0xFFFD);  // a lone low surrogate has no UTF-8 form
        } else {
            AppendUtf8(out_, u);
        }
    }
    void byte(char b) {
        flush();
        out_ += b;
    }
    // Raw bytes of the file that are not UTF-8 (Wine itself writes every
    // character above 127 as an escape) become U+FFFD, so that whatever was
    // read can be written back as it reads.
    std::string take() {
        flush();
        return ValidUtf8(out_);
    }

private:
    void flush() {
        if (high_) AppendUtf8(out_, 0xFFFD);
        high_.reset();
    }
    std::string out_;
    std::optional<char16_t> high_;
};

// UTF-16 code units of valid UTF-8, or nullopt.
std::optional<std::u16string> ToUtf16(std::string_view utf8) {
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t c = lead;
        char32_t minimum = 0;
        if (lead >= 0xF0 && lead < 0xF8) {
            extra = 3, c = lead & 0x07, minimum = 0x10000;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2, c = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xC0 && lead < 0xE0) {
            extra = 1, c = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0x80) {
            return std::nullopt;
        }
        if (i + extra >= utf8.size() && extra > 0) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
        i += extra + 1;
    }
    return units;
}

}  // namespace

std::optional<std::string> UnescapeRegText(std::string_view text, std::size_t& pos, char end) {
    Utf8Builder out;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == end) return out.take();
        if (c != '\\' || pos >= text.size()) {
            out.byte(c);
            continue;
        }
        const char e = text[pos++];
        switch (e) {
            case 'a':
                out.unit(u'\a');
                break;
            case 'b':
                out.unit(u'\b');
                break;
            case 'e':
                out.unit(0x1B);
                break;
            case 'f':
                out.unit(u'\f');
                break;
            case 'n':
                out.unit(u'\n');
                break;
            case 'r':
                out.unit(u'\r');
                break;
            case 't':
                out.unit(u'\t');
                break;
            case 'v':
                out.unit(u'\v');
                break;
            case 'x': {
                std::uint32_t value = 0;
                int digits = 0;
                while (digits < 4 && pos < text.size() && HexValue(text[pos]) >= 0) {
                    value = value * 16 + static_cast<std::uint32_t>(HexValue(text[pos++]));
                    ++digits;
                }
                if (digits == 0) {
                    out.byte('x');
                } else {
                    out.unit(static_cast<char16_t>(value));
                }
                break;
            }
            case '0':
            case '1':
            case '2':
            case '3':
            case '4':
            case '5':
            case '6':
            case '7': {
                std::uint32_t value = static_cast<std::uint32_t>(e - '0');
                for (int digits = 1; digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
                     ++digits) {
                    value = value * 8 + static_cast<std::uint32_t>(text[pos++] - '0');
                }
                out.unit(static_cast<char16_t>(value));
                break;
            }
            default:
                out.byte(e);
                break;  // \\, \" and any other character stand for themselves
        }
    }
    return std::nullopt;
}

std::optional<std::string> EscapeRegText(std::string_view utf8, std::string_view extraSpecial) {
    const auto units = ToUtf16(utf8);
    if (!units) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < units->size(); ++i) {
        const char16_t u = (*units)[i];
        const bool nextIsHex =
            i + 1 < units->size() && (*units)[i + 1] < 0x80 && HexValue(static_cast<char>((*units)[i + 1])) >= 0;
        switch (u) {
            case u'\\':
                out += "\\\\";
                continue;
            case u'"':
                out += "\\\"";
                continue;
            case u'\n':
                out += "\\n";
                continue;
            case u'\r':
                out += "\\r";
                continue;
            case u'\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (u >= 0x20 && u < 0x80) {
            if (extraSpecial.find(static_cast<char>(u)) != std::string_view::npos) out += '\\';
            out += static_cast<char>(u);
            continue;
        }
        // A following hex digit would be read as part of a short escape, so the long form is used then.
        char escape[8];
        std::snprintf(escape, sizeof escape, nextIsHex ? "\\x%04x" : "\\x%x", static_cast<unsigned>(u));
        out += escape;
    }
    return out;
}

}  // namespace vrx
