// The colour parser of ui.cfg: never more than 24 bits; the first six
// characters decide; a colour written as six hex digits reads back the same.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "ui/Colour.h"

namespace {

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vrx::Colour colour = vrx::ParseColour(text);
    VRX_FUZZ_CHECK(colour <= 0xFFFFFFu);
    VRX_FUZZ_CHECK(colour == vrx::ParseColour(text.substr(0, 6)));

    // Six hex digits in front: red, green and blue are the three pairs, in either letter case.
    bool sixHex = text.size() >= 6;
    for (std::size_t i = 0; sixHex && i < 6; ++i) sixHex = Hex(text[i]) >= 0;
    if (sixHex) {
        const int red = Hex(text[0]) * 16 + Hex(text[1]);
        const int green = Hex(text[2]) * 16 + Hex(text[3]);
        const int blue = Hex(text[4]) * 16 + Hex(text[5]);
        VRX_FUZZ_CHECK(colour == vrx::MakeColour(red, green, blue));
        VRX_FUZZ_CHECK(vrx::RedOf(colour) == red && vrx::GreenOf(colour) == green && vrx::BlueOf(colour) == blue);
    }
    // A character that is no hex digit within the first six makes the colour black.
    for (std::size_t i = 0; i < text.size() && i < 6; ++i) {
        if (Hex(text[i]) < 0) VRX_FUZZ_CHECK(colour == 0);
    }

    // Written back as RRGGBB, upper or lower case, the colour reads the same.
    char upper[8];
    char lower[8];
    std::snprintf(upper, sizeof upper, "%02X%02X%02X", vrx::RedOf(colour), vrx::GreenOf(colour), vrx::BlueOf(colour));
    std::snprintf(lower, sizeof lower, "%02x%02x%02x", vrx::RedOf(colour), vrx::GreenOf(colour), vrx::BlueOf(colour));
    VRX_FUZZ_CHECK(vrx::ParseColour(upper) == colour);
    VRX_FUZZ_CHECK(vrx::ParseColour(lower) == colour);
    return 0;
}
