#include "app/FormBuilder.h"

#include <QFont>
#include <QString>
#include <stdexcept>

#include "scaling/SmallFontFix.h"

namespace vrx {

FormLayout ScaleForScreen(FormLayout design, const ScreenMetrics& screen) {
    vrx::ApplySmallFontFix(design, screen.dpi, CaptionHeightTwips(screen.captionPixels, screen.twipsPerPixelY));
    return design;
}

void PlaceControl(QWidget& widget, const ControlSpec& control, const ScreenMetrics& screen) {
    const TwipRect& r = control.rect;
    widget.setGeometry(screen.ToWidgetPixels(r.left), screen.ToWidgetPixels(r.top), screen.ToWidgetPixels(r.width),
                       screen.ToWidgetPixels(r.height));
    if (control.fontPoints > 0) {
        // Points are drawn at Qt's logical DPI times the device pixel ratio,
        // which is the DPI the layout was scaled for.
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(control.fontPoints);
        font.setUnderline(control.underline);
        font.setBold(control.bold);
        widget.setFont(font);
    }
}

QSize ClientSize(const FormLayout& form, const ScreenMetrics& screen) {
    return {screen.ToWidgetPixels(form.clientWidth), screen.ToWidgetPixels(form.clientHeight)};
}

void PlaceAll(QWidget& window, const FormLayout& form, const ScreenMetrics& screen) {
    for (const ControlSpec& control : form.controls) {
        auto* widget = window.findChild<QWidget*>(QString::fromStdString(control.name));
        if (widget == nullptr) throw std::logic_error("the window has no control " + control.name);
        PlaceControl(*widget, control, screen);
    }
}

FormLayout ApplySmallFontFix(QWidget& window, const FormLayout& design) {
    const ScreenMetrics screen = ScreenMetrics::Of(&window);
    FormLayout form = ScaleForScreen(design, screen);
    PlaceAll(window, form, screen);
    window.setFixedSize(ClientSize(form, screen));
    return form;
}

}  // namespace vrx
