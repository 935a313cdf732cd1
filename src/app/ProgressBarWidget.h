#pragma once
// ProgressBar: a sunken trough with a navy fill, the percentage written
// across it (black on the trough, white on the fill, changing at the fill's
// edge) and a caption line below. It draws what a ProgressBarModel holds.

#include <QColor>
#include <QString>
#include <QWidget>

#include "progress/ProgressBarLayout.h"
#include "ui/Colour.h"

namespace vrx {

class ProgressBarModel;

class ProgressBarWidget : public QWidget {
    Q_OBJECT
public:
    explicit ProgressBarWidget(QWidget* parent = nullptr);

    // Takes the fill, the percentage texts and the caption to draw next.
    void setModel(const ProgressBarModel& model);

    void SetBackColor(Colour lngColor);
    void SetScrollColor(Colour lngColor);
    void SetShadowLineColor(Colour lngColor);
    void SetHighlightLineColor(Colour lngColor);
    void SetNonScrollTextColor(Colour lngColor);
    void SetScrolledTextColor(Colour lngColor);
    void SetTextColor(Colour lngColor);

    // The control's pixels are screen pixels: on a scaled desktop (ratio
    // screen pixels per Qt pixel) it draws its pixel layout at that scale,
    // so it keeps its designed look in screen pixels like the window holding it.
    void setScreenPixelRatio(double ratio);
    double screenPixelRatio() const { return ratio_; }

    // Where the parts lie at the control's present width, in screen pixels.
    ProgressBarLayout barLayout() const;
    double fillFraction() const { return fill_; }
    QString percentText() const { return percent_; }
    QString captionText() const { return caption_; }
    // The caption as drawn: shortened in the middle with "…" when wider than
    // the caption line, so that a path keeps its file name.
    QString shownCaption() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double ratio_ = 1.0;
    double fill_ = 0.0;
    QString percent_ = QStringLiteral("#");
    QString scrolled_ = QStringLiteral("#");
    QString caption_ = QStringLiteral("#");
    QColor back_;
    QColor scroll_{0, 0, 128};
    QColor shadow_{0, 0, 0};
    QColor highlight_{224, 224, 224};
    QColor nonScrollText_{0, 0, 0};
    QColor scrolledText_{255, 255, 255};
    QColor text_{0, 0, 0};
};

}  // namespace vrx
