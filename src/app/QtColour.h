#pragma once
// The program's colour values (red + 256 x green + 65536 x blue) as QColor.

#include <QColor>

#include "ui/Colour.h"

namespace vrx {

inline QColor ToQColor(Colour colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

}  // namespace vrx
