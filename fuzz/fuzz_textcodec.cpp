// The Windows-1252 decoder and encoder: every byte string decodes to valid
// UTF-8 that encodes back to the same bytes, and every text the encoder
// accepts decodes back to itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/TextCodec.h"

namespace {

// An independent check of UTF-8 well-formedness (RFC 3629).
bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        std::uint32_t c = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 1, c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 2, c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 3, c = b & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;  // cut short
        for (std::size_t k = 1; k <= n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            c = (c << 6) | (t & 0x3F);
        }
        if ((n == 2 && c < 0x800) || (n == 3 && c < 0x10000) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        }
        i += n + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Bytes from disk: decoding never fails, gives valid UTF-8 of at most three
    // bytes per byte, and the encoder gives the very bytes back.
    const std::string decoded = vrx::DecodeWindows1252(bytes);
    VRX_FUZZ_CHECK(IsValidUtf8(decoded));
    VRX_FUZZ_CHECK(decoded.size() >= bytes.size() && decoded.size() <= 3 * bytes.size());
    const auto encoded = vrx::EncodeWindows1252(decoded);
    VRX_FUZZ_CHECK(encoded.has_value());
    VRX_FUZZ_CHECK(*encoded == bytes);

    // Text from memory (the same input taken as UTF-8): refused when it is not
    // valid UTF-8; when accepted, one byte per character that decodes back to it.
    const auto fromText = vrx::EncodeWindows1252(bytes);
    if (!IsValidUtf8(bytes)) VRX_FUZZ_CHECK(!fromText.has_value());
    if (fromText) {
        VRX_FUZZ_CHECK(fromText->size() <= bytes.size());
        VRX_FUZZ_CHECK(vrx::DecodeWindows1252(*fromText) == bytes);
    }

    // The code point writer agrees with the decoder for every Latin-1 code point.
    std::string appended;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80 || b >= 0xA0) vrx::AppendUtf8(appended, b);
    }
    VRX_FUZZ_CHECK(IsValidUtf8(appended));
    return 0;
}
