#pragma once
// What the display-scaling rule needs to know about the screen: its logical
// DPI (96 when it cannot be read) and the height of a window caption bar.

class QWidget;

namespace vrx {

struct ScreenMetrics {
    int dpi = 96;
    int captionPixels = 0;
    double twipsPerPixelY = 15.0;

    // The screen widget lies on (or the primary screen).
    static ScreenMetrics Of(const QWidget* widget);
};

}  // namespace vrx
