#include "platform/linux/CaseFold.h"

namespace vrx {

namespace {

constexpr unsigned char kLatin1Lead = 0xC3;    // U+00C0..U+00FF
constexpr unsigned char kLatinExtLead = 0xC5;  // U+0140..U+017F

}  // namespace

std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        auto& c = reinterpret_cast<unsigned char&>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c + 0x20);
            continue;
        }
        if (i + 1 >= folded.size()) break;
        // Lead bytes are never continuation bytes, so a pair can be rewritten in
        // place; a lead byte without a continuation byte after it is no pair.
        auto& next = reinterpret_cast<unsigned char&>(folded[i + 1]);
        if (c == kLatin1Lead && next >= 0x80 && next <= 0x9E && next != 0x97) {  // À..Þ except ×
            next = static_cast<unsigned char>(next + 0x20);
            ++i;
        } else if (c == kLatinExtLead && next >= 0x80 && next <= 0xBF) {
            if (next == 0xA0 || next == 0x92 || next == 0xBD) {  // Š Œ Ž
                next = static_cast<unsigned char>(next + 1);
            } else if (next == 0xB8) {  // Ÿ becomes ÿ, which lives in the Latin-1 block
                c = kLatin1Lead;
                next = 0xBF;
            }
            ++i;
        }
    }
    return folded;
}

}  // namespace vrx
