#pragma once
// Keeps a control's caption whole: the designed widths were measured with
// the original system's fonts, and a caption drawn a few pixels wider (a
// stand-in font, a scaled desktop) would be cut off.

#include <QRect>
#include <initializer_list>

#include "ui/FormLayout.h"

class QWidget;

namespace vrx {

// Places control at designed, widened to its size hint when that is wider,
// about the designed centre, and moved back inside its parent when it would
// stick out.
void WidenToFitText(QWidget& control, const QRect& designed);

// The same for every control of the scaled layout form whose name is in
// names, each at its place in form.
void WidenToFitText(QWidget& window, const FormLayout& form, std::initializer_list<const char*> names);

}  // namespace vrx
