#pragma once
// The hover colours of a secondary window's link labels, shown by the
// LinkHover rules: the window forwards a mouse move over one of its links
// (from its event filter) or over its background, and the links are repainted.

#include <span>

#include "ui/LinkHover.h"

class QObject;

namespace vrx {

class LinkLabel;

// Gives every link the colour the rules say.
void PaintLinks(const LinkHover& hover, std::span<LinkLabel* const> links);

// A mouse move over watched: when watched is one of links, that link is
// hovered and the links repainted; true then, so that the move does not reach
// the background, which would put the links back.
bool HoverOverLink(LinkHover& hover, std::span<LinkLabel* const> links, const QObject* watched);

// A mouse move over the window's background: every link put back.
void HoverOverBackground(LinkHover& hover, std::span<LinkLabel* const> links);

}  // namespace vrx
