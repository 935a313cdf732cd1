#include <gtest/gtest.h>

#include "scaling/SmallFontFix.h"
#include "ui/FormLayout.h"

namespace vrx {
namespace {

TEST(SmallFontFix, RatioFollowsTheDisplayAndUnreadableDpiCountsAs96) {
    EXPECT_FLOAT_EQ(SmallFontRatio(96), 1.0f);
    EXPECT_FLOAT_EQ(SmallFontRatio(120), 0.8f);
    EXPECT_FLOAT_EQ(SmallFontRatio(144), 0.6666667f);
    EXPECT_FLOAT_EQ(SmallFontRatio(0), 1.0f);
    EXPECT_FLOAT_EQ(SmallFontRatio(-5), 1.0f);
    EXPECT_EQ(EffectiveDpi(0), 96);
    EXPECT_EQ(EffectiveDpi(120), 120);
}

TEST(SmallFontFix, WindowAt120DpiKeepsItsCaptionBar) {
    const WindowSize scaled = ScaleWindowSize({9000, 6000}, SmallFontRatio(120), 300);
    EXPECT_NEAR(scaled.width, 7200, 0.01);
    EXPECT_NEAR(scaled.height, 4860, 0.01);
    const WindowSize same = ScaleWindowSize({9000, 6000}, SmallFontRatio(96), 300);
    EXPECT_EQ(same.width, 9000);
    EXPECT_EQ(same.height, 6000);
}

TEST(SmallFontFix, ControlAt120DpiShrinksEverywhere) {
    ControlSpec control{"Label1", ControlKind::Label, {1000, 500, 2000, 400}, 12, false, ""};
    ScaleControl(control, SmallFontRatio(120));
    EXPECT_NEAR(control.rect.left, 800, 0.01);
    EXPECT_NEAR(control.rect.top, 400, 0.01);
    EXPECT_NEAR(control.rect.width, 1600, 0.01);
    EXPECT_NEAR(control.rect.height, 320, 0.01);
    EXPECT_NEAR(control.fontPoints, 9.6, 0.0001);
}

TEST(SmallFontFix, CaptionHeightInTwipsToTheNearestTwip) {
    struct Case {
        int captionPixels;
        int dpi;
        int twips;
    };
    // 22 px at 168 DPI are 188.57 twips: to the nearest, not down. 33 px at
    // 192 DPI are 247.5 twips: halves away from zero.
    const Case cases[] = {
        {20, 96, 300}, {25, 120, 300}, {22, 168, 189}, {30, 144, 300}, {23, 144, 230}, {19, 120, 228}, {33, 192, 248},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CaptionHeightTwips(c.captionPixels, 1440.0 / c.dpi), c.twips)
            << c.captionPixels << " px at " << c.dpi;
    }
}

TEST(SmallFontFix, FormAt96DpiIsLeftAsDesigned) {
    FormLayout form = MainFormLayout();
    ApplySmallFontFix(form, 96, 300);
    EXPECT_EQ(form.clientWidth, 10905);
    EXPECT_EQ(form.clientHeight, 7860);
    const ControlSpec& exit = form.control("lblSelect3");
    EXPECT_EQ(exit.rect.left, 10425);
    EXPECT_EQ(exit.rect.top, 7530);
    EXPECT_EQ(exit.fontPoints, 11.25);
}

TEST(SmallFontFix, FormAt120DpiLandsOnTheSamePixelsAsAt96) {
    // The display enlarges twips by DPI / 96; the rule undoes it, so a window
    // shows the pixels it was designed with: 15 twips per design pixel.
    FormLayout form = MainFormLayout();
    ApplySmallFontFix(form, 120, 375);
    EXPECT_EQ(TwipsToPixels(form.clientWidth, 120), 727);   // 10905 / 15
    EXPECT_EQ(TwipsToPixels(form.clientHeight, 120), 524);  // 7860 / 15
    const ControlSpec& list = form.control("List1");
    EXPECT_EQ(TwipsToPixels(list.rect.left, 120), 92);    // 1380 / 15
    EXPECT_EQ(TwipsToPixels(list.rect.width, 120), 259);  // 3885 / 15
    EXPECT_NEAR(list.fontPoints, 7.2, 0.0001);
}

TEST(SmallFontFix, TwipsToPixels) {
    EXPECT_EQ(TwipsToPixels(1500, 96), 100);
    EXPECT_EQ(TwipsToPixels(1440, 120), 120);
    EXPECT_EQ(TwipsToPixels(1500, 0), 100);
}

}  // namespace
}  // namespace vrx
