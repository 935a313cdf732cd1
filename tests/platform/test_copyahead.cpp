// The order of copies prepared ahead: what the run takes is what was
// planned for that copy, what it passes over is discarded, and a stop
// discards whatever was prepared and not taken.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/CopyAhead.h"

namespace vrx {
namespace {

struct Planned {
    std::string from;
    std::string to;
    bool onlyWithData = false;
};

// A prepared copy is the number of the planned copy it was made for.
struct Recorder {
    std::mutex mutex;
    std::vector<std::size_t> prepared;
    std::vector<int> discarded;
    std::vector<std::size_t> declined;  // prepared as nothing: left to the run

    CopyAhead<Planned, int> Make(std::size_t window = 4) {
        return CopyAhead<Planned, int>(
            [this](std::size_t index, int) -> std::optional<int> {
                std::lock_guard lock(mutex);
                prepared.push_back(index);
                if (std::find(declined.begin(), declined.end(), index) != declined.end()) return std::nullopt;
                return static_cast<int>(index);
            },
            [this](int& made) {
                std::lock_guard lock(mutex);
                discarded.push_back(made);
            },
            2, window);
    }
    // Waits until a worker has made copy index: one not begun yet is left to the run.
    void WaitFor(std::size_t index) {
        for (int i = 0; i < 5000; ++i) {
            {
                std::lock_guard lock(mutex);
                if (std::find(prepared.begin(), prepared.end(), index) != prepared.end()) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        FAIL() << "copy " << index << " was never made";
    }
    std::vector<int> Discarded() {
        std::lock_guard lock(mutex);
        std::vector<int> sorted = discarded;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
};

std::vector<Planned> Plan(int count) {
    std::vector<Planned> plan;
    for (int i = 0; i < count; ++i) plan.push_back({"src/" + std::to_string(i), "dst/" + std::to_string(i), false});
    return plan;
}

TEST(CopyAhead, EachCopyTakenInOrderIsTheOnePlannedForIt) {
    Recorder recorder;
    auto ahead = recorder.Make();
    ahead.start(Plan(20));
    for (int i = 0; i < 20; ++i) {
        recorder.WaitFor(static_cast<std::size_t>(i));
        const std::optional<int> made = ahead.take("src/" + std::to_string(i), "dst/" + std::to_string(i), false);
        ASSERT_TRUE(made.has_value()) << i;
        EXPECT_EQ(*made, i);
    }
    ahead.stop();
    EXPECT_TRUE(recorder.Discarded().empty());
}

TEST(CopyAhead, CopiesThatDoNotMatchThePlanAreLeftToTheRun) {
    struct Case {
        const char* what;
        std::string from;
        std::string to;
        bool onlyWithData;
    };
    const Case cases[] = {
        {"another source", "src/x", "dst/0", false},
        {"another target", "src/0", "dst/x", false},
        {"the other kind of copy", "src/0", "dst/0", true},
        {"further ahead than looked for", "src/99", "dst/99", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder recorder;
        auto ahead = recorder.Make();
        ahead.start(Plan(100));
        recorder.WaitFor(0);
        EXPECT_FALSE(ahead.take(c.from, c.to, c.onlyWithData).has_value());
        // The plan is undisturbed: its next copy is still there.
        const std::optional<int> next = ahead.take("src/0", "dst/0", false);
        ASSERT_TRUE(next.has_value());
        EXPECT_EQ(*next, 0);
        ahead.stop();
    }
}

TEST(CopyAhead, CopiesPassedOverAreDiscardedAndThoseNotBegunNeverBegin) {
    Recorder recorder;
    auto ahead = recorder.Make(4);
    ahead.start(Plan(40));
    // Skips to copy 30: everything prepared before it goes; 5..29 are past the window and never made.
    const std::optional<int> made = ahead.take("src/30", "dst/30", false);
    EXPECT_FALSE(made.has_value()) << "copy 30 was not begun when asked for";
    recorder.WaitFor(31);
    const std::optional<int> next = ahead.take("src/31", "dst/31", false);
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(*next, 31);
    ahead.stop();
    std::lock_guard lock(recorder.mutex);
    for (const std::size_t index : recorder.prepared) {
        EXPECT_TRUE(index < 4 || index > 30) << "copy " << index << " was begun after the run passed it";
    }
    for (const int gone : recorder.discarded) EXPECT_NE(gone, 31);
}

TEST(CopyAhead, SkippingWithinTheWindowDiscardsTheSkippedAndStopDiscardsTheRest) {
    Recorder recorder;
    auto ahead = recorder.Make(8);
    ahead.start(Plan(6));
    for (std::size_t i = 0; i < 6; ++i) recorder.WaitFor(i);
    const std::optional<int> made = ahead.take("src/2", "dst/2", false);
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(*made, 2);
    ahead.stop();
    // 0 and 1 were passed over, 3 to 5 never taken: each discarded exactly once.
    EXPECT_EQ(recorder.Discarded(), (std::vector<int>{0, 1, 3, 4, 5}));
    // After the stop nothing is taken any more.
    EXPECT_FALSE(ahead.take("src/3", "dst/3", false).has_value());
}

TEST(CopyAhead, ACopyDeclinedByItsWorkerIsLeftToTheRun) {
    Recorder recorder;
    recorder.declined = {1};
    auto ahead = recorder.Make();
    ahead.start(Plan(3));
    for (std::size_t i = 0; i < 3; ++i) recorder.WaitFor(i);
    EXPECT_EQ(ahead.take("src/0", "dst/0", false), std::optional<int>(0));
    EXPECT_FALSE(ahead.take("src/1", "dst/1", false).has_value());
    EXPECT_EQ(ahead.take("src/2", "dst/2", false), std::optional<int>(2));
    ahead.stop();
    EXPECT_TRUE(recorder.Discarded().empty());
}

}  // namespace
}  // namespace vrx
