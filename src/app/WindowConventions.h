#pragma once
// What every window of the program has in common. How a window uses it: in
// its constructor, after setting its object name and caption and before it is
// first shown, call ApplyWindowConventions(*this, WindowRole::Frame) (the main
// and status windows) or WindowRole::Dialog (modal windows). A secondary
// window is created with its owner as parent.
//
// It gives the window the program's icon; exposes it to assistive technology
// as a frame or a dialog named by its caption (a plain QWidget window would
// be a nameless "filler"); and, for a window with an owner, keeps it on its
// owner (no task-bar entry of its own) with a close box but no minimise or
// maximise button (a dialog-type window to the window manager, whatever its
// role for assistive technology).

#include <QAccessible>
#include <QIcon>

class QWidget;

namespace vrx {

enum class WindowRole {
    Frame,   // a window of its own: the main window, the status window
    Dialog,  // a modal window opened from another
};

// The program's icon, drawn in code at the usual icon sizes.
QIcon ProgramIcon();

// Icon, accessible role and name, ownership and frame buttons; see above.
void ApplyWindowConventions(QWidget& window, WindowRole role);

// Exposes a plain control to assistive technology with role (a picture as
// QAccessible::Graphic, say) instead of a nameless "filler"; its name and
// description are its accessibleName and accessibleDescription. Call before
// the control is first shown.
void SetAccessibleRole(QWidget& control, QAccessible::Role role);

}  // namespace vrx
