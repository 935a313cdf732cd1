#pragma once
// What the display-scaling rule needs to know about the screen a window lies
// on. How a window uses it: build the controls with their object names, then
// call ApplySmallFontFix(window, design layout) (app/FormBuilder.h), which
// takes ScreenMetrics::Of(window), scales the layout with the rule and places
// it so that the window keeps its designed size in screen pixels.
//
// Qt 6 enlarges every window itself on a scaled desktop (device pixel ratio
// 1.25, 1.5, 2) while still reporting 96 logical DPI. The DPI the rule
// measures is therefore the logical DPI times the device pixel ratio (144 at
// 150%), and twips become screen pixels at that DPI, then Qt's logical pixels
// by dividing by the ratio.

class QWidget;

namespace vrx {

struct ScreenMetrics {
    // The DPI the scaling rule measures: the screen's logical DPI times the
    // device pixel ratio (96 when it cannot be read).
    int dpi = 96;
    // Qt's device pixel ratio: screen pixels per Qt logical pixel.
    double devicePixelRatio = 1.0;
    // A window caption bar's height in screen pixels.
    int captionPixels = 0;
    // Twips per vertical screen pixel (15 at 96 DPI).
    double twipsPerPixelY = 15.0;

    // The screen widget lies on (or the primary screen).
    static ScreenMetrics Of(const QWidget* widget);

    // Whole screen pixels at dpi, nearest.
    int ToScreenPixels(double twips) const;
    // Qt logical pixels for a length of twips: screen pixels / device pixel ratio, nearest.
    int ToWidgetPixels(double twips) const;

    // Test hook: a device pixel ratio used instead of the screen's (0 = the screen's own).
    static void SetDevicePixelRatioForTesting(double ratio);
};

}  // namespace vrx
