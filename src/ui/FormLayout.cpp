#include "ui/FormLayout.h"

#include <stdexcept>

namespace vrx {

const ControlSpec& FormLayout::control(const std::string& name) const {
    for (const ControlSpec& spec : controls) {
        if (spec.name == name) return spec;
    }
    throw std::out_of_range("no control " + name);
}

namespace {

ControlSpec Control(const char* name, ControlKind kind, TwipRect rect, double fontPoints = 0, bool underline = false,
                    const char* parent = "", bool bold = false) {
    return {name, kind, rect, fontPoints, underline, parent, bold};
}

ControlSpec Heading(const char* name, TwipRect rect, double fontPoints) {
    return Control(name, ControlKind::Label, rect, fontPoints, false, "", true);
}

}  // namespace

FormLayout MainFormLayout() {
    using K = ControlKind;
    FormLayout form;
    form.clientWidth = 10905;
    form.clientHeight = 7860;
    form.controls = {
        Control("Banner", K::Image, {75, 75, 10740, 1500}, 0),
        Control("Picture1", K::PictureBox, {75, 1650, 1200, 5610}, 0),
        Control("Sidebar0", K::PictureBox, {90, 120, 975, 975}, 0, false, "Picture1"),
        Control("Sidebar1", K::PictureBox, {90, 1200, 975, 975}, 0, false, "Picture1"),
        Control("Sidebar2", K::PictureBox, {90, 2295, 975, 975}, 0, false, "Picture1"),
        Control("Sidebar3", K::PictureBox, {90, 3390, 975, 975}, 0, false, "Picture1"),
        Control("Sidebar4", K::PictureBox, {90, 4485, 975, 975}, 0, false, "Picture1"),
        Control("Sidebar5", K::PictureBox, {6900, 6555, 2400, 645}, 0),
        Control("List1", K::List, {1380, 1650, 3885, 5610}, 9),
        Control("Preview", K::PictureBox, {5385, 1650, 5430, 4080}, 0),
        Control("lblDescription", K::Label, {5385, 5760, 5430, 735}, 9),
        Control("lblSelect4", K::Label, {1380, 7260, 750, 225}, 9, true),
        Control("lblSelect0", K::Label, {3360, 7260, 750, 225}, 9, true),
        Control("lblSelect1", K::Label, {4260, 7260, 1005, 225}, 9, true),
        Control("lblSelect3", K::Label, {10425, 7530, 360, 255}, 11.25, true),
        Control("lblInfo", K::Label, {45, 7605, 8175, 240}, 9.75),
    };
    return form;
}

FormLayout StatusFormLayout() {
    using K = ControlKind;
    FormLayout form;
    form.clientWidth = 10770;
    form.clientHeight = 1785;
    form.controls = {
        Control("lblAction", K::Label, {375, 240, 10050, 300}, 12),
        Control("ProgressBar1", K::ProgressBar, {390, 750, 10020, 810}, 0),
    };
    return form;
}

FormLayout SettingsFormLayout() {
    using K = ControlKind;
    FormLayout form;
    form.clientWidth = 8805;
    form.clientHeight = 5070;
    form.controls = {
        Control("Label1", K::Label, {870, 150, 4410, 210}, 9.75),
        Control("lblSelect0", K::Label, {120, 405, 660, 270}, 12, true),
        Control("lblPath", K::Label, {855, 390, 7830, 360}, 9.75),
        Control("Label3", K::Label, {870, 945, 7800, 255}, 9.75),
        Control("lblSelect3", K::Label, {120, 1200, 660, 270}, 12, true),
        Control("lblBackup", K::TextBox, {855, 1200, 7830, 360}, 9.75),
        Control("Label2", K::Label, {870, 1575, 7785, 780}, 9.75),
        Control("ChkAttrib", K::CheckBox, {840, 2550, 6150, 330}, 9.75),
        Control("lblSelect1", K::Label, {7095, 4695, 735, 270}, 12, true),
        Control("lblSelect2", K::Label, {8160, 4695, 540, 270}, 12, true),
    };
    return form;
}

FormLayout BackupFormLayout() {
    using K = ControlKind;
    FormLayout form;
    form.clientWidth = 7950;
    form.clientHeight = 5070;
    form.controls = {
        Heading("Label1", {2535, 255, 2805, 330}, 14.25),
        Control("lblSelect0", K::Label, {2055, 900, 3780, 270}, 12, true),
        Control("lblSelect1", K::Label, {2445, 1500, 2985, 270}, 12, true),
        Control("ChkSkip", K::CheckBox, {2490, 2055, 2955, 330}, 9.75),
        Heading("Label2", {2430, 2625, 2985, 330}, 14.25),
        Control("lblSelect4", K::Label, {2370, 3315, 3120, 270}, 12, true),
        Control("lblSelect3", K::Label, {2550, 3945, 2790, 270}, 12, true),
        Control("lblSelect2", K::Label, {7215, 4680, 615, 270}, 12, true),
    };
    return form;
}

FormLayout InformationFormLayout() {
    using K = ControlKind;
    FormLayout form;
    form.clientWidth = 10320;
    form.clientHeight = 7620;
    form.controls = {
        Control("WebBrowser1", K::Browser, {0, 0, 10320, 7260}, 0),
        Control("lblSelect0", K::Label, {9810, 7290, 390, 270}, 12, true),
        Control("lblSelect1", K::Label, {75, 7305, 570, 225}, 9.75, true),
        Control("lblSelect2", K::Label, {870, 7305, 810, 225}, 9.75, true),
        // Where the last download was saved: the free part of the link row.
        Control("lblDownload", K::Label, {1830, 7305, 7830, 225}, 9.75),
    };
    return form;
}

}  // namespace vrx
