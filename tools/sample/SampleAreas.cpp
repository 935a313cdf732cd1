#include "SampleAreas.h"

namespace sample {

const std::vector<AreaArt>& SampleAreas() {
    static const std::vector<AreaArt> areas = {
        {"Norvane Lowlands - summer",
         "Textures/Lowlands Summer",
         "lowlands_summer.bmp",
         "lowland",
         16,
         {Pattern::Fields, QColor(96, 148, 62), QColor(214, 190, 92), QColor(52, 92, 40), 60}},
        {"Norvane Lowlands - autumn",
         "Textures/Lowlands Autumn",
         "lowlands_autumn.bmp",
         "lowland",
         16,
         {Pattern::Fields, QColor(132, 98, 60), QColor(200, 156, 72), QColor(150, 84, 34), 60}},
        {"Saltmere Coast",
         "Textures/Saltmere Coast",
         "saltmere_coast.bmp",
         "coast",
         12,
         {Pattern::Coast, QColor(110, 150, 84), QColor(222, 210, 170), QColor(46, 110, 156), 50}},
        {"Harrow Highlands - dense forest",
         "Textures/Highlands Dense",
         "highlands_dense.bmp",
         "forest",
         16,
         {Pattern::Forest, QColor(58, 88, 48), QColor(92, 110, 62), QColor(34, 66, 38), 90}},
        {"Harrow Highlands - light forest",
         "Textures/Highlands Light",
         "highlands_light.bmp",
         "forest",
         16,
         {Pattern::Forest, QColor(140, 130, 96), QColor(120, 140, 80), QColor(44, 80, 44), 35}},
        {"Ember River Valleys",
         "Textures/River Valleys",
         "river_valleys.bmp",
         "river",
         10,
         {Pattern::River, QColor(104, 156, 74), QColor(150, 176, 96), QColor(60, 112, 150), 50}},
    };
    return areas;
}

const std::vector<OriginalTextures>& SimulatorTextures() {
    static const std::vector<OriginalTextures> textures = {
        {"Texture", NumberedNames("lowland", 8) + NumberedNames("coast", 6) + NumberedNames("forest", 8) +
                        QStringList{"runway01.bmp", "water01.bmp"}},
        {"Scenery/World/texture", NumberedNames("river", 5)},
    };
    return textures;
}

QStringList NumberedNames(const QString& prefix, int count) {
    QStringList names;
    for (int i = 1; i <= count; ++i) names << QStringLiteral("%1%2.bmp").arg(prefix).arg(i, 2, 10, QLatin1Char('0'));
    return names;
}

}  // namespace sample
