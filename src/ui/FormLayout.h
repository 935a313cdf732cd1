#pragma once
// A window's design layout as one table: every control's kind, twip
// rectangle and font, in the window's control order. The windows turn the
// table into widgets after display scaling has been applied to it.

#include <string>
#include <vector>

namespace vrx {

enum class ControlKind {
    Image,       // a picture shown as is (the banner)
    PictureBox,  // a picture box: a panel, a sidebar button or the preview
    List,        // the list with a check box per item
    Label,
    ProgressBar,
    TextBox,  // a single-line text box
    CheckBox,
    Browser,  // an embedded web browser
};

struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

struct ControlSpec {
    std::string name;  // the control's object name, e.g. "Sidebar3", "lblSelect0"
    ControlKind kind;
    TwipRect rect;      // relative to parent's client area
    double fontPoints;  // 0: the control has no font of its own
    bool underline = false;
    std::string parent;  // "" for the window itself
    bool bold = false;
};

struct FormLayout {
    double clientWidth = 0;   // twips
    double clientHeight = 0;  // twips
    std::vector<ControlSpec> controls;

    // The control of that name; throws std::out_of_range when absent.
    const ControlSpec& control(const std::string& name) const;
};

// Main_Form: banner, sidebar panel with five buttons, install button, area
// list, preview, description, the four command labels and the hover line.
FormLayout MainFormLayout();

// Status_Form: the action line and the progress bar.
FormLayout StatusFormLayout();

// Settings_Form: the simulator and backup folders with their Select links,
// the notes, the read-only fix and the Cancel and Save links.
FormLayout SettingsFormLayout();

// Backup_Form: two headings, the five links and the Skip check box.
FormLayout BackupFormLayout();

// Information_Form: the browser above a row of three links.
FormLayout InformationFormLayout();

}  // namespace vrx
