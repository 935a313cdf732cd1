#include "ui/Colour.h"

#include <optional>

namespace vrx {

namespace {

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

// Characters [first, first + 2) of text as hex, with an implied leading zero:
// an empty piece is 0, a one-digit piece that digit's value.
std::optional<Colour> Piece(std::string_view text, std::size_t first) {
    Colour value = 0;
    for (std::size_t i = first; i < first + 2 && i < text.size(); ++i) {
        const auto digit = HexDigit(text[i]);
        if (!digit) return std::nullopt;
        value = value * 16 + static_cast<Colour>(*digit);
    }
    return value;
}

}  // namespace

Colour ParseColour(std::string_view text) {
    const auto red = Piece(text, 0);
    const auto green = Piece(text, 2);
    const auto blue = Piece(text, 4);
    if (!red || !green || !blue) return 0;
    return *red + 256 * *green + 65536 * *blue;
}

}  // namespace vrx
