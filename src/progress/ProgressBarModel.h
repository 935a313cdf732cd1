#pragma once
// What the progress bar control shows, as logic: the scale, the fill
// fraction, the percentage text and the caption line. The widget draws it.

#include <cstdint>
#include <string>

namespace vrx {

class ProgressBarModel {
public:
    // Starts a new run: empty fill, caption and percentage cleared.
    void InitProgress(std::int32_t scaleSize, const std::string& scaleCaption, bool showPercent);
    // Shows value of the scale; replaces the caption when caption is not empty.
    // Returns false when it stopped silently (scale 0, negative value) before
    // reaching the point where pending events run; true otherwise.
    bool Progress(std::int32_t value, const std::string& caption);
    // Caption line = caption, also when empty.
    void SetProgressCaption(const std::string& caption);

    double fillFraction() const { return fill_; }      // 0..1 of the trough width
    const std::string& percentText() const { return percent_; }   // Label2
    const std::string& scrolledText() const { return scrolled_; } // Label3
    const std::string& caption() const { return caption_; }       // Label1
    std::int32_t scaleSize() const { return scale_; }
    const std::string& scaleCaption() const { return scaleCaption_; }
    bool showPercent() const { return showPercent_; }

private:
    std::int32_t scale_ = 0;
    std::string scaleCaption_;
    bool showPercent_ = false;
    double fill_ = 0.0;
    std::string percent_ = "#";
    std::string scrolled_ = "#";
    std::string caption_ = "#";
};

}  // namespace vrx
