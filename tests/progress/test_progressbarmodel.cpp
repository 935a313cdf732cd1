#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "progress/ProgressBarModel.h"

namespace vrx {
namespace {

struct Step {
    std::int32_t value;
    std::string caption;
};

struct BarCase {
    const char* name;
    std::int32_t scale;
    bool showPercent;
    std::vector<Step> steps;
    double fill;
    std::string percent;   // Label2
    std::string scrolled;  // Label3
    std::string caption;   // Label1
    bool lastReachedEvents;
};

void PrintTo(const BarCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgressBarModelCases : public ::testing::TestWithParam<BarCase> {};

TEST_P(ProgressBarModelCases, ShowsTheFractionOfTheScale) {
    const BarCase& c = GetParam();
    ProgressBarModel bar;
    bar.InitProgress(c.scale, "scale", c.showPercent);
    bool reached = true;
    for (const Step& step : c.steps) reached = bar.Progress(step.value, step.caption);

    EXPECT_DOUBLE_EQ(bar.fillFraction(), c.fill);
    EXPECT_EQ(bar.percentText(), c.percent);
    EXPECT_EQ(bar.scrolledText(), c.scrolled);
    EXPECT_EQ(bar.caption(), c.caption);
    EXPECT_EQ(reached, c.lastReachedEvents);
}

// Label3 keeps "#" from creation until the first Progress that reaches its step.
INSTANTIATE_TEST_SUITE_P(
    Table, ProgressBarModelCases,
    ::testing::Values(
        BarCase{"ThirdOfThree", 3, true, {{1, "a"}}, 1.0 / 3, "33%", "33%", "a", true},
        BarCase{"TwoThirds", 3, true, {{1, "a"}, {2, "b"}}, 2.0 / 3, "67%", "67%", "b", true},
        BarCase{"Full", 3, true, {{3, "c"}}, 1.0, "100%", "100%", "c", true},
        BarCase{"AboveScaleIsCappedAtFull", 3, true, {{5, "e"}}, 1.0, "100%", "100%", "e", true},
        BarCase{"ZeroValue", 3, true, {{0, "z"}}, 0.0, "0%", "0%", "z", true},
        BarCase{"HalfRoundsDownToEven", 8, true, {{1, "a"}}, 0.125, "12%", "12%", "a", true},
        BarCase{"HalfRoundsUpToEven", 8, true, {{3, "a"}}, 0.375, "38%", "38%", "a", true},
        BarCase{"SixtyTwoAndAHalf", 8, true, {{5, "a"}}, 0.625, "62%", "62%", "a", true},
        BarCase{"EightySevenAndAHalf", 8, true, {{7, "a"}}, 0.875, "88%", "88%", "a", true},
        BarCase{"EmptyCaptionKeepsThePreviousOne", 4, true, {{1, "first"}, {2, ""}}, 0.5, "50%", "50%", "first", true},
        BarCase{"ZeroScaleSetsOnlyTheCaption", 0, true, {{1, "cap"}}, 0.0, "", "#", "cap", false},
        BarCase{"NegativeValueKeepsTheBarButTakesTheCaption",
                4,
                true,
                {{2, "a"}, {-1, "b"}},
                0.5,
                "50%",
                "50%",
                "b",
                false},
        BarCase{"WithoutPercentLabel3CopiesTheEmptyLabel2", 4, false, {{2, "a"}}, 0.5, "", "", "a", true}),
    [](const ::testing::TestParamInfo<BarCase>& info) { return std::string(info.param.name); });

TEST(ProgressBarModel, StartsWithTheDesignTexts) {
    ProgressBarModel bar;
    EXPECT_EQ(bar.caption(), "#");
    EXPECT_EQ(bar.percentText(), "#");
    EXPECT_EQ(bar.scrolledText(), "#");
    EXPECT_DOUBLE_EQ(bar.fillFraction(), 0.0);
}

TEST(ProgressBarModel, InitProgressEmptiesTheBarAndKeepsItsArguments) {
    ProgressBarModel bar;
    bar.InitProgress(4, "", true);
    ASSERT_TRUE(bar.Progress(3, "old caption"));

    bar.InitProgress(10, "files", false);
    EXPECT_DOUBLE_EQ(bar.fillFraction(), 0.0);
    EXPECT_EQ(bar.caption(), "");
    EXPECT_EQ(bar.percentText(), "");
    EXPECT_EQ(bar.scrolledText(), "75%");  // hidden under an empty fill until the next Progress
    EXPECT_EQ(bar.scaleSize(), 10);
    EXPECT_EQ(bar.scaleCaption(), "files");
    EXPECT_FALSE(bar.showPercent());
}

TEST(ProgressBarModel, SetProgressCaptionAlsoClearsTheCaption) {
    ProgressBarModel bar;
    bar.SetProgressCaption("shown");
    EXPECT_EQ(bar.caption(), "shown");
    bar.SetProgressCaption("");
    EXPECT_EQ(bar.caption(), "");
}

}  // namespace
}  // namespace vrx
