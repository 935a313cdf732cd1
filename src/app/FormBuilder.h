#pragma once
// Turns a window's layout table into widget geometry and fonts: the table is
// scaled for the display first, then converted from twips to screen pixels
// and from those to Qt's logical pixels, so that a window keeps its designed
// size in screen pixels on a scaled desktop.
//
// How a window uses it: create every control of its table with the table's
// object name, then call ApplySmallFontFix(*this, XxxFormLayout()) once,
// before the window is shown.

#include <QSize>
#include <QWidget>

#include "app/ScreenMetrics.h"
#include "ui/FormLayout.h"

namespace vrx {

// The design layout scaled for the screen.
FormLayout ScaleForScreen(FormLayout design, const ScreenMetrics& screen);

// Gives widget the control's geometry and, when it has one, its font (Arial).
void PlaceControl(QWidget& widget, const ControlSpec& control, const ScreenMetrics& screen);

// The client area of form in Qt's logical pixels.
QSize ClientSize(const FormLayout& form, const ScreenMetrics& screen);

// The named child of window, placed from the table; every control of the
// table must have a child of that object name.
void PlaceAll(QWidget& window, const FormLayout& form, const ScreenMetrics& screen);

// The display-scaling fix for a window: design scaled for the window's
// screen, every control placed and the client area fixed at its size.
// Returns the scaled layout.
FormLayout ApplySmallFontFix(QWidget& window, const FormLayout& design);

}  // namespace vrx
