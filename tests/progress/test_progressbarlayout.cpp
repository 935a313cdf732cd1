#include <gtest/gtest.h>

#include "progress/ProgressBarLayout.h"

namespace vrx {
namespace {

TEST(ProgressBarLayout, Width300) {
    const ProgressBarLayout l = LayOutProgressBar(300);
    EXPECT_EQ(l.trough.left, 2);
    EXPECT_EQ(l.trough.top, 3);
    EXPECT_EQ(l.trough.width, 296);
    EXPECT_EQ(l.trough.height, 20);
    // Frame lines at x = 0 and x = 299; the top line from x = 1 to 300.
    EXPECT_EQ(l.left.x1, 0);
    EXPECT_EQ(l.left.x2, 0);
    EXPECT_EQ(l.right.x1, 299);
    EXPECT_EQ(l.right.x2, 299);
    EXPECT_EQ(l.top.x1, 1);
    EXPECT_EQ(l.top.x2, 300);
    // T = 3, H = 20: the dark lines from y = 1, the light bottom line at y = 24.
    EXPECT_EQ(l.left.y1, 1);
    EXPECT_EQ(l.left.y2, 24);
    EXPECT_EQ(l.top.y1, 1);
    EXPECT_EQ(l.right.y2, 25);
    EXPECT_EQ(l.bottom.y1, 24);
    EXPECT_EQ(l.bottom.x1, 0);
    EXPECT_EQ(l.bottom.x2, 299);
    // The caption and both percentage texts are as wide as the trough.
    EXPECT_EQ(l.caption.left, 2);
    EXPECT_EQ(l.caption.top, 26);
    EXPECT_EQ(l.caption.width, 296);
    EXPECT_EQ(l.percentText.width, 296);
    EXPECT_EQ(l.scrolledText.width, 296);
    EXPECT_EQ(l.scrolledText.left, l.percentText.left - 1);
}

TEST(ProgressBarLayout, FillCoversTheFractionOfTheTrough) {
    const ProgressBarLayout l = LayOutProgressBar(372);  // trough 368
    struct Case {
        double fraction;
        int width;
    } cases[] = {{0.0, 0}, {1.0 / 3, 123}, {2.0 / 3, 245}, {1.0, 368}, {0.5, 184}};
    for (const Case& c : cases) {
        const PixelRect fill = FillRect(l, c.fraction);
        EXPECT_EQ(fill.width, c.width) << c.fraction;
        EXPECT_EQ(fill.left, 1);
        EXPECT_EQ(fill.top, 3);
        EXPECT_EQ(fill.height, 22);
    }
}

}  // namespace
}  // namespace vrx
