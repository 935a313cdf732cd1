#pragma once
// Where the progress bar control's parts lie for a given inner width, in the
// control's own pixels: the trough, the fill inside it, the two percentage
// texts, the caption line and the four frame lines that make the trough look
// sunken. Recomputed on every resize.

namespace vrx {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct PixelLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};

struct ProgressBarLayout {
    PixelRect trough;        // Shape1
    PixelRect percentText;   // Label2, in the control's coordinates
    PixelRect scrolledText;  // Label3 (inside the fill, one pixel left of Label2)
    PixelRect caption;       // Label1
    PixelLine left;          // Line1, shadow
    PixelLine top;           // Line2, shadow
    PixelLine right;         // Line3, highlight
    PixelLine bottom;        // Line4, highlight
};

// The layout for a control of inner width w.
ProgressBarLayout LayOutProgressBar(int w);

// The fill (Shape2) for a fraction of the trough, in the control's
// coordinates: it starts one pixel left of the trough and is clipped to it
// by the drawing.
PixelRect FillRect(const ProgressBarLayout& layout, double fraction);

}  // namespace vrx
