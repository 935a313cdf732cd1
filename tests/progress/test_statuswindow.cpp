#include <gtest/gtest.h>

#include "progress/StatusWindow.h"
#include "support/Scripted.h"

namespace vrx {
namespace {

using test::ScriptedPrompts;
using test::ScriptedStatusView;

class StatusWindowTest : public ::testing::Test {
protected:
    ScriptedPrompts prompts;
    ScriptedStatusView view;
    StatusWindow status{view, prompts};
};

TEST_F(StatusWindowTest, CallsWhileClosedChangeNothing) {
    status.SetCancelRequested(true);
    status.SetClosingByProgram(false);

    status.SetAction("action");
    status.SetProgressCaption("caption");
    status.InitProgress(3, "", true);
    status.Progress(1, "file");
    status.RequestClose();

    EXPECT_FALSE(status.IsOpen());
    EXPECT_EQ(view.shows, 0);
    EXPECT_TRUE(view.actionTexts.empty());
    EXPECT_TRUE(view.captions.empty());
    EXPECT_TRUE(view.percents.empty());
    EXPECT_EQ(view.eventPasses, 0);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(status.CancelRequested());
    EXPECT_FALSE(status.ClosingByProgram());
    EXPECT_EQ(status.ActionText(), "Label1");
    EXPECT_EQ(status.Bar().caption(), "#");
    EXPECT_EQ(status.Bar().percentText(), "#");
}

TEST_F(StatusWindowTest, OpeningAClosedWindowClearsAnEarlierCancel) {
    status.Open();
    prompts.answer(true);
    status.RequestClose();
    ASSERT_TRUE(status.CancelRequested());
    ASSERT_FALSE(status.IsOpen());
    EXPECT_FALSE(view.visible);

    status.Open();
    EXPECT_FALSE(status.CancelRequested());
    EXPECT_TRUE(status.IsOpen());
    EXPECT_TRUE(view.visible);
}

TEST_F(StatusWindowTest, OpeningAnOpenWindowOnlyBringsItToTheFront) {
    status.Open();
    status.SetCancelRequested(true);
    status.Open();
    EXPECT_TRUE(status.CancelRequested());
    EXPECT_EQ(view.shows, 2);
}

TEST_F(StatusWindowTest, CloseBoxAsksAndNoKeepsTheWindowOpen) {
    status.Open();
    prompts.answer(false);
    status.RequestClose();

    EXPECT_TRUE(status.IsOpen());
    EXPECT_TRUE(view.visible);
    EXPECT_FALSE(status.CancelRequested());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, test::ShownPrompt::YesNo);
    EXPECT_EQ(prompts.shown[0].text, "Are you sure you want to cancel this action?");
    EXPECT_EQ(prompts.shown[0].title, "Verdantis");
}

TEST_F(StatusWindowTest, ClosingByProgramClosesWithoutAQuestion) {
    status.Open();
    status.SetClosingByProgram(true);
    status.RequestClose();

    EXPECT_FALSE(status.IsOpen());
    EXPECT_FALSE(view.visible);
    EXPECT_FALSE(status.CancelRequested());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(StatusWindowTest, ProgressRunsEventsOnlyWhenTheBarCompletesItsSteps) {
    status.Open();
    status.InitProgress(2, "", true);
    status.Progress(1, "first");
    EXPECT_EQ(view.eventPasses, 1);
    EXPECT_EQ(view.percents.back(), "50%");
    EXPECT_EQ(view.captions.back(), "first");

    status.Progress(-1, "negative");
    EXPECT_EQ(view.eventPasses, 1);
    EXPECT_EQ(view.captions.back(), "negative");

    status.InitProgress(0, "", true);
    status.Progress(1, "zero scale");
    EXPECT_EQ(view.eventPasses, 1);
    EXPECT_EQ(status.Bar().caption(), "zero scale");
}

TEST_F(StatusWindowTest, ACloseClickInsideProgressCancels) {
    status.Open();
    status.InitProgress(2, "", true);
    prompts.answer(true);
    view.onEvents = [&](int) { status.RequestClose(); };
    status.Progress(1, "file");

    EXPECT_TRUE(status.CancelRequested());
    EXPECT_FALSE(status.IsOpen());
}

TEST_F(StatusWindowTest, ProcessEventsRunsAlsoWhileClosed) {
    status.ProcessEvents();
    EXPECT_EQ(view.eventPasses, 1);
}

TEST_F(StatusWindowTest, FinishRunShowsTheTextBeepsPausesAndClosesWithoutAQuestion) {
    status.Open();
    status.InitProgress(1, "", true);
    status.Progress(1, "last file");
    const int passesBefore = view.eventPasses;
    int beepsAtEvents = -1;
    std::size_t pausesAtEvents = 99;
    view.onEvents = [&](int) {
        beepsAtEvents = view.beeps;
        pausesAtEvents = view.pauses.size();
    };

    status.FinishRun("Files successfully copied!");

    EXPECT_EQ(view.actionTexts.back(), "Files successfully copied!");
    EXPECT_EQ(status.ActionText(), "Files successfully copied!");
    EXPECT_EQ(view.captions.back(), "");
    EXPECT_EQ(status.Bar().percentText(), "100%");  // the bar stays where the run left it
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.eventPasses, passesBefore + 1);
    EXPECT_EQ(beepsAtEvents, 1);    // the beep comes before the painting pass
    EXPECT_EQ(pausesAtEvents, 0u);  // and the pause after it
    ASSERT_EQ(view.pauses.size(), 1u);
    EXPECT_EQ(view.pauses[0], std::chrono::milliseconds(1500));
    EXPECT_TRUE(status.ClosingByProgram());
    EXPECT_FALSE(status.IsOpen());
    EXPECT_FALSE(view.visible);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(StatusWindowTest, FinishRunOnAClosedWindowStillBeepsAndPauses) {
    status.FinishRun("Files successfully copied!");

    EXPECT_EQ(view.shows, 0);
    EXPECT_TRUE(view.actionTexts.empty());
    EXPECT_TRUE(view.captions.empty());
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.eventPasses, 1);
    ASSERT_EQ(view.pauses.size(), 1u);
    EXPECT_EQ(view.pauses[0], kCompletionPause);
    EXPECT_TRUE(status.ClosingByProgram());
    EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace vrx
