#pragma once
// The look of one kind of scenery: the colours and the pattern that its
// textures and its preview picture are painted with.

#include <QColor>

namespace sample {

enum class Pattern { Fields, Coast, Forest, River };

struct Landscape {
    Pattern pattern;
    QColor ground;     // the main ground colour
    QColor groundAlt;  // the second ground colour (other fields, clearings)
    QColor accent;     // hedges, cliffs, tree crowns or water
    int density;       // how much of the accent there is, 0 to 100
};

}  // namespace sample
