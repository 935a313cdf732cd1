#pragma once
// The main window's pictures: the five sidebar buttons, the install button
// and the banner, each sized for its place in the window at 96 DPI.

#include <QImage>
#include <QString>

namespace sample {

enum class Glyph { Help, Backups, Updates, Settings, WebSite };

// A square sidebar button: a symbol above a readable label.
QImage PaintSidebarButton(Glyph glyph, const QString& label);

QImage PaintInstallButton();

QImage PaintBanner();

}  // namespace sample
