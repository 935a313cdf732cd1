#pragma once
// Interface colours as the program stores them: red + 256 x green + 65536 x blue.

#include <cstdint>
#include <string_view>

namespace vrx {

using Colour = std::uint32_t;

// Six hex digits RRGGBB read as three two-character pieces; a short piece
// reads as far as it goes, characters after the sixth are ignored, and any
// piece holding a non-hex character makes the whole colour 0. Never fails.
Colour ParseColour(std::string_view text);

constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red) + 256u * static_cast<Colour>(green) + 65536u * static_cast<Colour>(blue);
}

}  // namespace vrx
