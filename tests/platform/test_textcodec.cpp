#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace vrx {
namespace {

TEST(TextCodec, EveryByteSurvivesDecodeAndEncode) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string byte(1, static_cast<char>(b));
        const auto encoded = EncodeWindows1252(DecodeWindows1252(byte));
        ASSERT_TRUE(encoded.has_value());
        EXPECT_EQ(*encoded, byte);
    }
}

TEST(TextCodec, DecodesToTheWindowsCharacters) {
    struct Case {
        unsigned char byte;
        const char* utf8;
    };
    const Case cases[] = {
        {0x41, "A"},        {0x80, "€"},        {0x81, "\xC2\x81"}, {0x8A, "Š"},        {0x8D, "\xC2\x8D"},
        {0x8F, "\xC2\x8F"}, {0x90, "\xC2\x90"}, {0x92, "’"},        {0x99, "™"},        {0x9D, "\xC2\x9D"},
        {0x9F, "Ÿ"},        {0xA0, "\xC2\xA0"}, {0xD7, "×"},        {0xE9, "é"},        {0xFF, "ÿ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(DecodeWindows1252(std::string(1, static_cast<char>(c.byte))), c.utf8);
    }
}

TEST(TextCodec, EncodesMixedText) {
    EXPECT_EQ(EncodeWindows1252("Zürich – 5€ "), std::string("Z\xFCrich \x96 5\x80 "));
    EXPECT_EQ(EncodeWindows1252(""), std::string());
    EXPECT_EQ(EncodeWindows1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextCodec, RefusesTextWithoutWindows1252Form) {
    const char* cases[] = {
        "Ω",                 // Greek is not in Windows-1252
        "中文",              // nor is Chinese
        "😀",                // nor anything outside the BMP
        "\xC2\x80",          // U+0080: byte 0x80 stands for the euro sign
        "\xC2\x9E",          // U+009E: byte 0x9E stands for ž
        "ab\xC3",            // cut-off sequence
        "\xC0\xAF",          // overlong "/"
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "a\x80z",            // stray continuation byte
        "\xFF",              // never valid in UTF-8
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(EncodeWindows1252(text).has_value());
    }
}

TEST(TextCodec, ValidUtf8ReplacesEachBadByteOnce) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"plain é€😀", "plain é€😀"},
        {"a\xFF!", "a\xEF\xBF\xBD!"},
        {"ab\xC3", "ab\xEF\xBF\xBD"},                              // cut-off sequence
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong "/"
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ValidUtf8(c.text), c.expected);
    }
}

}  // namespace
}  // namespace vrx
