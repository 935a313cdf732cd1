#include "scaling/SmallFontFix.h"

#include <cmath>

namespace vrx {

int EffectiveDpi(int measuredDpi) {
    return measuredDpi > 0 ? measuredDpi : kDesignDpi;
}

float SmallFontRatio(int dpi) {
    return static_cast<float>(kDesignDpi) / static_cast<float>(EffectiveDpi(dpi));
}

WindowSize ScaleWindowSize(WindowSize size, float ratio, double captionTwips) {
    if (ratio == 1.0f) return size;
    size.height = size.height * ratio + captionTwips - captionTwips * ratio;
    size.width = size.width * ratio;
    return size;
}

void ScaleControl(ControlSpec& control, float ratio) {
    control.fontPoints = static_cast<float>(control.fontPoints) * ratio;
    TwipRect& r = control.rect;
    r.width = r.width * ratio;
    r.height = r.height * ratio;
    r.top = r.top * ratio;
    r.left = r.left * ratio;
}

int CaptionHeightTwips(int captionPixels, double twipsPerPixelY) {
    return static_cast<int>(std::lround(twipsPerPixelY * captionPixels));
}

void ApplySmallFontFix(FormLayout& form, int measuredDpi, int captionTwips) {
    const float ratio = SmallFontRatio(measuredDpi);
    // The layout holds the client area; the rule is stated for the whole window.
    const WindowSize outer = ScaleWindowSize({form.clientWidth, form.clientHeight + captionTwips}, ratio, captionTwips);
    form.clientWidth = outer.width;
    form.clientHeight = outer.height - captionTwips;
    for (ControlSpec& control : form.controls) ScaleControl(control, ratio);
}

int TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * EffectiveDpi(dpi) / 1440.0));
}

}  // namespace vrx
