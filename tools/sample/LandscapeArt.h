#pragma once
// Textures and preview pictures painted from a landscape's look. Painting is
// seeded, so every build gives the same files.

#include <QImage>
#include <QString>

#include "Landscape.h"

namespace sample {

// A square ground texture; worn gives the duller look of the simulator's
// own textures.
QImage PaintTexture(const Landscape& look, unsigned seed, bool worn, int size = 128);

// A view over the landscape under a sky, with the area's title on it.
QImage PaintPreview(const Landscape& look, const QString& title, unsigned seed);

}  // namespace sample
