#include "app/LinkRowHover.h"

#include "app/LinkLabel.h"

namespace vrx {

void PaintLinks(const LinkHover& hover, std::span<LinkLabel* const> links) {
    for (std::size_t i = 0; i < links.size(); ++i) links[i]->setHighlighted(hover.highlighted(static_cast<int>(i)));
}

bool HoverOverLink(LinkHover& hover, std::span<LinkLabel* const> links, const QObject* watched) {
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (watched != links[i]) continue;
        hover.overLink(static_cast<int>(i));
        PaintLinks(hover, links);
        return true;
    }
    return false;
}

void HoverOverBackground(LinkHover& hover, std::span<LinkLabel* const> links) {
    hover.overBackground();
    PaintLinks(hover, links);
}

}  // namespace vrx
