#include <gtest/gtest.h>

#include <string>

#include "config/EzCfg.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempDir.h"
#include "ui/Colour.h"
#include "ui/InterfaceColours.h"

namespace vrx {
namespace {

struct ColourCase {
    const char* text;
    Colour expected;
};

TEST(ParseColour, ReadsRrGgBbPiecesAndRejectsNonHex) {
    const ColourCase cases[] = {
        {"FF8000", 33023},      // red 255, green 128, blue 0
        {"ff8000", 33023},      // lower-case digits
        {"#FF8000", 0},         // the sign is not a hex digit
        {"F", 15},              // red only
        {"FF00", 255},          // red 255, green and blue 0
        {"FF80001234", 33023},  // characters after the sixth are ignored
        {"", 0},
        {"0000FF", 16711680},  // blue
        {"FFFFFF", 16777215},
        {"00800", 32768 + 0},  // green 128, blue read from the one digit "0"
        {"0080001", 32768},
        {"G08000", 0},  // bad red
        {"FF80G0", 0},  // bad blue
        {"FF 000", 0},  // a space is not a digit
        {"1", 1},
        {"123", 786},  // red 0x12, green 0x3
    };
    for (const ColourCase& c : cases) {
        EXPECT_EQ(ParseColour(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(InterfaceLook, ReadsEveryColourAsTextAndTheVersion) {
    test::TempDir dir;
    LinuxFileSystem fs;
    test::WriteFile(dir / "ui.cfg",
                    "controlbackcolor=FF8000\r\nFORMBACKCOLOR=000080\r\nTextForeColor=FFFFFF\r\n"
                    "TextHighlightColor=#00FF00\r\nListTextColor=10\r\nVRXVersion=Sample 2.0\r\n");
    EzCfg cfg(fs);
    cfg.ReadCFG(dir / "ui.cfg");
    const InterfaceLook look = ReadInterfaceLook(cfg);
    EXPECT_EQ(look.colours.ControlBackColor, 33023u);
    EXPECT_EQ(look.colours.FormBackColor, 8388608u);
    EXPECT_EQ(look.colours.TextForeColor, 16777215u);
    EXPECT_EQ(look.colours.TextHighlightColor, 0u);
    EXPECT_EQ(look.colours.ListTextColor, 16u);
    EXPECT_EQ(look.VRXVersion, "Sample 2.0");
}

TEST(InterfaceLook, NoFileGivesBlackAndNoVersion) {
    test::TempDir dir;
    LinuxFileSystem fs;
    EzCfg cfg(fs);
    cfg.ReadCFG(dir / "ui.cfg");
    const InterfaceLook look = ReadInterfaceLook(cfg);
    EXPECT_EQ(look.colours.ControlBackColor, 0u);
    EXPECT_EQ(look.colours.FormBackColor, 0u);
    EXPECT_EQ(look.colours.TextForeColor, 0u);
    EXPECT_EQ(look.colours.TextHighlightColor, 0u);
    EXPECT_EQ(look.colours.ListTextColor, 0u);
    EXPECT_EQ(look.VRXVersion, "");
}

}  // namespace
}  // namespace vrx
