#include "progress/ProgressBarLayout.h"

#include <cmath>

namespace vrx {

namespace {

// The trough's design place; its width follows the control.
constexpr int kTroughLeft = 2;
constexpr int kTroughTop = 3;
constexpr int kTroughHeight = 20;
// The fill starts one pixel left of the trough and is two pixels taller.
constexpr int kFillLeft = -1;
constexpr int kFillHeight = 22;
// The percentage texts sit 3 pixels below the top of their parents.
constexpr int kTextTop = 3;
constexpr int kTextHeight = 15;
constexpr int kCaptionTop = 26;

}  // namespace

ProgressBarLayout LayOutProgressBar(int w) {
    const int t = kTroughTop;
    const int h = kTroughHeight;
    ProgressBarLayout layout;
    layout.trough = {kTroughLeft, t, w - 4, h};
    layout.caption = {layout.trough.left, kCaptionTop, layout.trough.width, kTextHeight};
    layout.percentText = {layout.trough.left, t + kTextTop, layout.trough.width, kTextHeight};
    layout.scrolledText = {layout.trough.left + kFillLeft, t + kTextTop, layout.trough.width, kTextHeight};
    layout.left = {0, t - 2, 0, t + h + 1};
    layout.top = {1, t - 2, w, t - 2};
    layout.right = {w - 1, t - 2, w - 1, t + h + 2};
    layout.bottom = {0, t + h + 1, w - 1, t + h + 1};
    return layout;
}

PixelRect FillRect(const ProgressBarLayout& layout, double fraction) {
    const int width = static_cast<int>(std::lround(layout.trough.width * fraction));
    return {layout.trough.left + kFillLeft, layout.trough.top, width, kFillHeight};
}

}  // namespace vrx
