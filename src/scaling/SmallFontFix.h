#pragma once
// Undoing the display's enlargement of layouts: windows are designed for 96
// logical DPI, and every size, position and font is multiplied by 96 / DPI
// before the window is built. The DPI and the caption bar's height are
// handed in, so the rule runs without a screen.

#include "ui/FormLayout.h"

namespace vrx {

inline constexpr int kDesignDpi = 96;

// The DPI the rule works with: a reading of 0 or less (none could be taken) counts as 96.
int EffectiveDpi(int measuredDpi);

// 96 / dpi in single precision: 1 at 96, 0.8 at 120.
float SmallFontRatio(int dpi);

// A window's outer size in twips, caption bar included.
struct WindowSize {
    double width = 0;
    double height = 0;
};

// Width times ratio; the part of the height below the caption bar shrinks
// while the caption bar keeps captionTwips. Unchanged when ratio is 1.
WindowSize ScaleWindowSize(WindowSize size, float ratio, double captionTwips);

// Font, width, height, top and left times ratio.
void ScaleControl(ControlSpec& control, float ratio);

// The caption bar's height in twips, to the nearest twip.
int CaptionHeightTwips(int captionPixels, double twipsPerPixelY);

// Scales form (its client size and every control) for a display of
// measuredDpi whose caption bar is captionTwips high.
void ApplySmallFontFix(FormLayout& form, int measuredDpi, int captionTwips);

// Twips to whole pixels at dpi (1440 twips make an inch).
int TwipsToPixels(double twips, int dpi);

}  // namespace vrx
