#pragma once
// What the generator paints for the sample add-on: one texture set and one
// preview per area of the catalogue, and the simulator's own textures that
// the sets replace. The catalogue text itself is data/vrx.cfg.

#include <QString>
#include <QStringList>
#include <vector>

#include "Landscape.h"

namespace sample {

struct AreaArt {
    QString title;          // written on the preview
    QString sourceFolder;   // below the add-on folder, "/" separated
    QString previewFile;    // inside Media/
    QString texturePrefix;  // the set's files are <prefix>01.bmp ...
    int textureCount;
    Landscape look;
};

struct OriginalTextures {
    QString folder;  // below the simulator folder, "/" separated
    QStringList files;
};

const std::vector<AreaArt>& SampleAreas();

// The simulator's textures: some with the names the sets use, some others.
const std::vector<OriginalTextures>& SimulatorTextures();

// prefix + two-digit number + ".bmp", numbered from 1.
QStringList NumberedNames(const QString& prefix, int count);

}  // namespace sample
