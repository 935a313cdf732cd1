#include "app/FormBuilder.h"

#include <QFont>
#include <QString>
#include <stdexcept>

#include "scaling/SmallFontFix.h"

namespace vrx {

FormLayout ScaleForScreen(FormLayout design, const ScreenMetrics& screen) {
    ApplySmallFontFix(design, screen.dpi, CaptionHeightTwips(screen.captionPixels, screen.twipsPerPixelY));
    return design;
}

void PlaceControl(QWidget& widget, const ControlSpec& control, int dpi) {
    const TwipRect& r = control.rect;
    widget.setGeometry(TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi), TwipsToPixels(r.width, dpi),
                       TwipsToPixels(r.height, dpi));
    if (control.fontPoints > 0) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(control.fontPoints);
        font.setUnderline(control.underline);
        font.setBold(control.bold);
        widget.setFont(font);
    }
}

QSize ClientSize(const FormLayout& form, int dpi) {
    return {TwipsToPixels(form.clientWidth, dpi), TwipsToPixels(form.clientHeight, dpi)};
}

void PlaceAll(QWidget& window, const FormLayout& form, int dpi) {
    for (const ControlSpec& control : form.controls) {
        auto* widget = window.findChild<QWidget*>(QString::fromStdString(control.name));
        if (widget == nullptr) throw std::logic_error("the window has no control " + control.name);
        PlaceControl(*widget, control, dpi);
    }
}

}  // namespace vrx
