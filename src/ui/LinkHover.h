#pragma once
// The hover colours of a window's row of link labels (lblSelect): a link
// under the mouse takes TextHighlightColor and keeps it until the mouse
// crosses the window's own background, which puts every link back to
// TextForeColor. A disabled link never takes the highlight.

#include <vector>

namespace vrx {

class LinkHover {
public:
    explicit LinkHover(int count);

    int count() const { return static_cast<int>(highlighted_.size()); }
    bool highlighted(int link) const;
    bool enabled(int link) const;

    // Disabling a link also drops its highlight.
    void setEnabled(int link, bool enabled);
    // The mouse moved over link: highlighted when enabled; the others keep theirs.
    void overLink(int link);
    // The mouse moved over the window's background: every link at rest.
    void overBackground();
    // The periodic check of a window whose browser area reports no mouse
    // movement: a mouse above the link row (client y less than the row's
    // top) puts every link at rest; anywhere else nothing changes.
    void checkMouseAboveRow(int mouseClientY, int rowTop);

private:
    std::vector<bool> highlighted_;
    std::vector<bool> enabled_;
};

}  // namespace vrx
