#include "progress/ProgressBarModel.h"

#include <cmath>

namespace vrx {

namespace {

// Rounds to the nearest whole number, halves to the even neighbour, so that
// 12.5% reads 12% and 37.5% reads 38% as the control always showed them.
long long RoundHalfToEven(double value) {
    const double lower = std::floor(value);
    const double rest = value - lower;
    if (rest > 0.5) return static_cast<long long>(lower) + 1;
    if (rest < 0.5) return static_cast<long long>(lower);
    const auto even = static_cast<long long>(lower);
    return even % 2 == 0 ? even : even + 1;
}

}  // namespace

void ProgressBarModel::InitProgress(std::int32_t scaleSize, const std::string& scaleCaption, bool showPercent) {
    scale_ = scaleSize;
    fill_ = 0.0;
    caption_.clear();
    percent_.clear();
    showPercent_ = showPercent;
    scaleCaption_ = scaleCaption;
}

bool ProgressBarModel::Progress(std::int32_t value, const std::string& caption) {
    if (!caption.empty()) caption_ = caption;

    // A zero scale has no fraction: the bar and the percentage keep what they showed.
    if (scale_ == 0) return false;
    double fraction = static_cast<double>(value) / static_cast<double>(scale_);
    if (fraction > 1.0) fraction = 1.0;

    // A fill narrower than nothing cannot be drawn; the rest of the update is dropped.
    if (fraction < 0.0) return false;
    fill_ = fraction;

    if (showPercent_) percent_ = std::to_string(RoundHalfToEven(fraction * 100.0)) + "%";
    scrolled_ = percent_;
    return true;
}

void ProgressBarModel::SetProgressCaption(const std::string& caption) {
    caption_ = caption;
}

}  // namespace vrx
