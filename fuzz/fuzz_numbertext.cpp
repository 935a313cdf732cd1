// The number rule of key=value values (GetValue with Numerical): whatever the
// text, a finite number comes out; its text form has at most 15 significant
// digits, no trailing zeros and no leading space, and reading that text again
// gives a number whose text is the same.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "config/NumberText.h"

namespace {

bool WellFormedNumberText(const std::string& text) {
    if (text.empty() || text.front() == ' ') return false;
    std::size_t i = text.front() == '-' ? 1 : 0;
    int significant = 0;
    bool leading = true;
    bool point = false;
    std::size_t mantissaEnd = text.find('E');
    if (mantissaEnd == std::string::npos) mantissaEnd = text.size();
    for (; i < mantissaEnd; ++i) {
        const char c = text[i];
        if (c == '.') {
            if (point) return false;
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        if (c != '0') leading = false;
        if (!leading) ++significant;
    }
    if (significant > 15) return false;
    if (point && (text[mantissaEnd - 1] == '0' || text[mantissaEnd - 1] == '.')) return false;
    if (mantissaEnd < text.size()) {  // E+20, E-05
        if (mantissaEnd + 2 >= text.size()) return false;
        if (text[mantissaEnd + 1] != '+' && text[mantissaEnd + 1] != '-') return false;
        for (std::size_t k = mantissaEnd + 2; k < text.size(); ++k) {
            if (text[k] < '0' || text[k] > '9') return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = vrx::ValNumber(text);
    VRX_FUZZ_CHECK(std::isfinite(value));

    const std::string shown = vrx::NumberText(value);
    VRX_FUZZ_CHECK(WellFormedNumberText(shown));
    if (value == 0) VRX_FUZZ_CHECK(shown == "0");

    // Text, number, text: stable after one pass (15 digits survive a double).
    const double again = vrx::ValNumber(shown);
    VRX_FUZZ_CHECK(vrx::NumberText(again) == shown);
    // And within the 15-digit rounding of the first value.
    VRX_FUZZ_CHECK(std::fabs(again - value) <= std::fabs(value) * 1e-14);

    // Spaces, tabs and line feeds anywhere do not change the number.
    std::string spaced;
    for (const char c : text) {
        spaced += c;
        spaced += ' ';
    }
    VRX_FUZZ_CHECK(vrx::ValNumber("\t" + spaced + "\n") == value);

    // A 16-bit result is the value rounded, and only for values that fit.
    const auto rounded = vrx::RoundToInt16(value);
    if (rounded) {
        VRX_FUZZ_CHECK(std::fabs(*rounded - value) <= 0.5);
    } else {
        VRX_FUZZ_CHECK(value < -32768.5 || value >= 32767.5);  // halves round to even
    }
    return 0;
}
