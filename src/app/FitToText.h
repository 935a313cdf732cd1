#pragma once
// Keeps a control's caption whole: the designed widths were measured with
// the original system's fonts, and a caption drawn a few pixels wider (a
// stand-in font, a scaled desktop) would be cut off.

class QWidget;

namespace vrx {

// Widens control to its size hint when that is wider, about the same centre,
// moved back inside its parent when it would stick out; narrower or equal
// hints leave it as placed.
void WidenToFitText(QWidget& control);

}  // namespace vrx
