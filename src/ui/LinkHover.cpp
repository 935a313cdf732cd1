#include "ui/LinkHover.h"

namespace vrx {

LinkHover::LinkHover(int count)
    : highlighted_(static_cast<std::size_t>(count), false), enabled_(static_cast<std::size_t>(count), true) {}

bool LinkHover::highlighted(int link) const {
    return link >= 0 && link < count() && highlighted_[static_cast<std::size_t>(link)];
}

bool LinkHover::enabled(int link) const {
    return link >= 0 && link < count() && enabled_[static_cast<std::size_t>(link)];
}

void LinkHover::setEnabled(int link, bool enabled) {
    if (link < 0 || link >= count()) return;
    enabled_[static_cast<std::size_t>(link)] = enabled;
    if (!enabled) highlighted_[static_cast<std::size_t>(link)] = false;
}

void LinkHover::overLink(int link) {
    if (enabled(link)) highlighted_[static_cast<std::size_t>(link)] = true;
}

void LinkHover::overBackground() {
    highlighted_.assign(highlighted_.size(), false);
}

void LinkHover::checkMouseAboveRow(int mouseClientY, int rowTop) {
    if (mouseClientY < rowTop) overBackground();
}

}  // namespace vrx
