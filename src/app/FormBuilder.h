#pragma once
// Turns a window's layout table into widget geometry and fonts: the table is
// scaled for the display first, then converted from twips to pixels.

#include <QSize>
#include <QWidget>

#include "app/ScreenMetrics.h"
#include "ui/FormLayout.h"

namespace vrx {

// The design layout scaled for the screen.
FormLayout ScaleForScreen(FormLayout design, const ScreenMetrics& screen);

// Gives widget the control's pixel geometry and, when it has one, its font (Arial).
void PlaceControl(QWidget& widget, const ControlSpec& control, int dpi);

// The client area of form in pixels.
QSize ClientSize(const FormLayout& form, int dpi);

// The named child of window, placed from the table; every control of the
// table must have a child of that object name.
void PlaceAll(QWidget& window, const FormLayout& form, int dpi);

}  // namespace vrx
