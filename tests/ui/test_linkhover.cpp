// The link rows' hover colours: which links are highlighted after a sequence
// of mouse moves, with disabled links and the check above the link row.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/LinkHover.h"

namespace vrx {
namespace {

using Highlights = std::vector<bool>;

Highlights HighlightsOf(const LinkHover& hover) {
    Highlights result;
    for (int i = 0; i < hover.count(); ++i) result.push_back(hover.highlighted(i));
    return result;
}

struct Case {
    const char* name;
    std::function<void(LinkHover&)> moves;
    Highlights expected;
};

TEST(LinkHoverTest, MovesGiveTheExpectedHighlights) {
    const Case cases[] = {
        {"nothing yet", [](LinkHover&) {}, {false, false, false, false, false}},
        {"over one link", [](LinkHover& h) { h.overLink(1); }, {false, true, false, false, false}},
        // Straight from one link onto the next, without crossing the background.
        {"two links in a row",
         [](LinkHover& h) {
             h.overLink(0);
             h.overLink(4);
         },
         {true, false, false, false, true}},
        {"background resets all",
         [](LinkHover& h) {
             h.overLink(0);
             h.overLink(2);
             h.overBackground();
         },
         {false, false, false, false, false}},
        {"disabled link takes no highlight",
         [](LinkHover& h) {
             h.setEnabled(3, false);
             h.overLink(3);
         },
         {false, false, false, false, false}},
        {"disabling drops the highlight",
         [](LinkHover& h) {
             h.overLink(3);
             h.setEnabled(3, false);
         },
         {false, false, false, false, false}},
        {"enabled again highlights again",
         [](LinkHover& h) {
             h.setEnabled(3, false);
             h.setEnabled(3, true);
             h.overLink(3);
         },
         {false, false, false, true, false}},
        {"out of range ignored",
         [](LinkHover& h) {
             h.overLink(-1);
             h.overLink(5);
             h.setEnabled(7, false);
         },
         {false, false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkHover hover(5);
        c.moves(hover);
        EXPECT_EQ(HighlightsOf(hover), c.expected);
    }
}

TEST(LinkHoverTest, MouseAboveTheRowPutsLinksAtRest) {
    struct Row {
        const char* name;
        int mouseY;
        bool stays;
    };
    // The row's top at 486 pixels: the information window's "<Back" at 96 DPI.
    const Row rows[] = {
        {"far up in the browser", 10, false}, {"one pixel above the row", 485, false},
        {"on the row's top line", 486, true}, {"below the row", 500, true},
        {"above the window", -40, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        LinkHover hover(3);
        hover.overLink(0);
        hover.overLink(2);
        hover.checkMouseAboveRow(r.mouseY, 486);
        EXPECT_EQ(HighlightsOf(hover), (Highlights{r.stays, false, r.stays}));
    }
}

}  // namespace
}  // namespace vrx
