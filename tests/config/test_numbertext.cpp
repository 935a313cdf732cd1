#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "config/NumberText.h"

namespace vrx {
namespace {

struct ValCase {
    const char* text;
    double expected;
};

TEST(ValNumber, ReadsTheLeadingNumberLikeVal) {
    const ValCase cases[] = {
        {"12abc", 12},      {"abc", 0},         {"", 0},
        {"  1 2 3", 123},  // spaces dropped anywhere
        {"\t-5", -5},      // tabs too
        {"1\n0", 10},      // and line feeds
        {"\r1", 0},        // but not carriage returns
        {"+7", 7},          {"- 4", -4},        {"-", 0},
        {"--1", 0},         {".", 0},           {".5", 0.5},
        {"5.", 5},          {"1.2.3", 1.2},     {"1,5", 1},  // the comma is never a decimal separator
        {"1e3", 1000},      {"1E-2", 0.01},     {"1 e 2", 100},
        {"1d3", 1000},  // the runtime's double-precision exponent letter
        {"2D+2", 200},      {"1e", 1},          {"1e+", 1},
        {"1e400", 0},  // overflow reads as no number
        {"0x10", 0},        {"&HFF", 255},      {"&hff", 255},
        {"&HFFg", 255},     {"& H 1 0", 16},    {"&H", 0},
        {"&HFFFF", -1},  // four hex digits are a signed 16-bit value
        {"&H8000", -32768}, {"&H10000", 65536}, {"&H7FFFFFFF", 2147483647},
        {"&HFFFFFFFF", -1},  // eight are a signed 32-bit value
        {"&H100000000", 0},  // more overflow
        {"&O17", 15},       {"&o17", 15},       {"&O8", 0},
        {"&O177777", -1},   {"&X1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(ValNumber(c.text), c.expected);
    }
}

struct TextCase {
    double value;
    const char* expected;
};

TEST(NumberText, WritesFifteenSignificantDigits) {
    const TextCase cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1, "-1"},
        {12, "12"},
        {1.5, "1.5"},
        {1000, "1000"},
        {0.1, "0.1"},
        {0.0001, "0.0001"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {-2.0 / 3, "-0.666666666666667"},
        {123456789012345, "123456789012345"},
        {1234567890123456, "1.23456789012346E+15"},
        {1e15, "1E+15"},
        {1e20, "1E+20"},
        {1e100, "1E+100"},
        {1e-5, "1E-05"},
        {-2.5e-10, "-2.5E-10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(NumberText(c.value), c.expected);
    }
}

TEST(NumberText, ReadsBackThroughValNumber) {
    for (double value : {0.0, 1.0, -1.5, 1e20, 1e-5, 123456789012345.0}) {
        SCOPED_TRACE(value);
        EXPECT_DOUBLE_EQ(ValNumber(NumberText(value)), value);
    }
}

struct RoundCase {
    double value;
    std::optional<std::int16_t> expected;
};

TEST(RoundToInt16, RoundsHalfToEvenWithinSixteenBits) {
    const RoundCase cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-0.5, 0},
        {-1.5, -2},
        {0.49, 0},
        {32767, 32767},
        {32767.4, 32767},
        {32767.5, std::nullopt},
        {-32768, -32768},
        {-32768.5, -32768},
        {-32769, std::nullopt},
        {1e20, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(RoundToInt16(c.value), c.expected);
    }
}

}  // namespace
}  // namespace vrx
