#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/AreaSelection.h"
#include "support/Scripted.h"

namespace vrx {
namespace {

// The area list as the sweep sees it: check boxes, a focus, and the two
// describing controls; pictures "load" when their path is in the list given.
class ListStandIn final : public AreaListView {
public:
    std::vector<bool> checks;
    int focused = 0;
    std::string description;
    std::string preview;
    std::vector<std::string> pictures;

    int FocusedIndex() const override { return focused; }
    int ItemCount() const override { return static_cast<int>(checks.size()); }
    bool IsChecked(int item) const override { return checks.at(static_cast<std::size_t>(item)); }
    void SetChecked(int item, bool checked) override { checks.at(static_cast<std::size_t>(item)) = checked; }
    void ShowDescription(const std::string& text) override { description = text; }
    bool ShowPreview(const std::string& path) override {
        for (const std::string& p : pictures) {
            if (p == path) {
                preview = path;
                return true;
            }
        }
        return false;
    }
};

std::vector<SceneryArea> Areas(const std::vector<std::string>& exclusions) {
    std::vector<SceneryArea> areas;
    for (std::size_t i = 0; i < exclusions.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        areas.push_back({"Area " + n, "A" + n, "About " + n, "p" + n + ".bmp", exclusions[i], "T"});
    }
    return areas;
}

struct SweepCase {
    const char* name;
    std::vector<std::string> exclusions;
    std::vector<bool> checksBefore;
    int focused;
    std::vector<bool> checksAfter;
    bool ok;
};

TEST(ExclusionSweep, Cases) {
    const SweepCase cases[] = {
        {"mutual exclusion: the focused one stays", {"2", "1", ""}, {true, true, false}, 1, {false, true, false}, true},
        {"mutual exclusion, other focus", {"2", "1", ""}, {true, true, false}, 0, {true, false, false}, true},
        {"not symmetric: only B lists A, A focused", {"", "1"}, {true, true}, 0, {true, true}, true},
        {"not symmetric: only B lists A, B focused", {"", "1"}, {true, true}, 1, {false, true}, true},
        {"unchecked items exclude nothing", {"2", ""}, {false, true}, 1, {false, true}, true},
        {"a list naming itself, focused", {"1", ""}, {true, false}, 0, {true, false}, true},
        {"a list naming itself, not focused", {"1", ""}, {true, false}, 1, {false, false}, true},
        {"spaces after the comma", {"2, 3", "", ""}, {true, true, true}, 0, {true, false, false}, true},
        {"spaces around the number", {" 3 ", "", ""}, {true, true, true}, 0, {true, true, false}, true},
        {"only spaces: nothing to sweep", {"   ", ""}, {true, true}, 1, {true, true}, true},
        {"trailing comma fails after its work", {"2,", "", ""}, {true, true, true}, 0, {true, false, true}, false},
        {"position 0", {"0", ""}, {true, true}, 1, {true, true}, false},
        {"position past the end", {"3", ""}, {true, true}, 1, {true, true}, false},
        {"not a number", {"two", ""}, {true, true}, 1, {true, true}, false},
        {"a fault in an unchecked area is not reached", {"", "x"}, {true, false}, 0, {true, false}, true},
        {"earlier unchecks stay when a later area fails",
         {"3", "9", ""},
         {true, true, true},
         1,
         {true, true, false},
         false},
        {"items are never checked by the sweep", {"2", ""}, {true, false}, 0, {true, false}, true},
    };
    for (const SweepCase& c : cases) {
        ListStandIn list;
        list.checks = c.checksBefore;
        list.focused = c.focused;
        EXPECT_EQ(SweepExclusions(list, Areas(c.exclusions)), c.ok) << c.name;
        EXPECT_EQ(list.checks, c.checksAfter) << c.name;
    }
}

TEST(ExclusionSweep, PositionsCountListedAreasNotCatalogueLines) {
    // The catalogue's second line was left out at loading: its third line is list position 2.
    const std::vector<SceneryArea> areas = {
        {"First", "A1", "", "p.bmp", "2", "T"},
        {"Third line", "A3", "", "p.bmp", "", "T"},
    };
    ListStandIn list;
    list.checks = {true, true};
    list.focused = 0;
    EXPECT_TRUE(SweepExclusions(list, areas));
    EXPECT_EQ(list.checks, (std::vector<bool>{true, false}));
}

TEST(UpdateAreaSelection, ShowsTheFocusedAreaThenSweeps) {
    ListStandIn list;
    list.checks = {true, true};
    list.focused = 1;
    list.pictures = {"/add-on/media/p2.bmp"};
    test::ScriptedPrompts prompts;
    UpdateAreaSelection(list, Areas({"2", "1"}), "/add-on/media/", prompts);
    EXPECT_EQ(list.description, "About 2");
    EXPECT_EQ(list.preview, "/add-on/media/p2.bmp");
    EXPECT_EQ(list.checks, (std::vector<bool>{false, true}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(UpdateAreaSelection, MissingPreviewKeepsTheDescriptionAndSkipsTheSweep) {
    ListStandIn list;
    list.checks = {true, true};
    list.focused = 1;
    test::ScriptedPrompts prompts;
    UpdateAreaSelection(list, Areas({"2", "1"}), "/add-on/media/", prompts);
    EXPECT_EQ(list.description, "About 2");
    EXPECT_EQ(list.checks, (std::vector<bool>{true, true}));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "There was an error in the item selection. Your verdantis.cfg file may be invalid!");
    EXPECT_EQ(prompts.shown[0].title, "Verdantis");
}

TEST(UpdateAreaSelection, APreviewNameClimbingOutOfTheMediaFolderIsNotShown) {
    for (const std::string name : {"../secret.bmp", "pics/../../secret.bmp", "..\\secret.bmp", ".."}) {
        SCOPED_TRACE(name);
        ListStandIn list;
        list.checks = {true};
        list.pictures = {"/add-on/media/" + name};  // there, and loadable
        std::vector<SceneryArea> areas = Areas({""});
        areas[0].PreviewImage = name;
        test::ScriptedPrompts prompts;
        UpdateAreaSelection(list, areas, "/add-on/media/", prompts);
        EXPECT_EQ(list.description, "About 1");
        EXPECT_EQ(list.preview, "");
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text,
                  "There was an error in the item selection. Your verdantis.cfg file may be invalid!");
    }
}

TEST(UpdateAreaSelection, FaultyListShowsTheMessageAtEveryClick) {
    ListStandIn list;
    list.checks = {true, false};
    list.focused = 1;
    list.pictures = {"m/p2.bmp"};
    test::ScriptedPrompts prompts;
    const auto areas = Areas({"2,", ""});
    UpdateAreaSelection(list, areas, "m/", prompts);
    UpdateAreaSelection(list, areas, "m/", prompts);
    EXPECT_EQ(prompts.shown.size(), 2u);
}

}  // namespace
}  // namespace vrx
