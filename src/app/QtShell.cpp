#include "app/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>
#include <utility>

namespace vrx {

QtShell::QtShell(std::function<std::string(const std::string&)> resolve) : resolve_(std::move(resolve)) {}

bool QtShell::open(const std::string& target, ShowMode /*mode: the desktop places the window*/) {
    const QString text = QString::fromStdString(target);
    if (text.startsWith("http://") || text.startsWith("https://")) return QDesktopServices::openUrl(QUrl(text));
    const QString path = QString::fromStdString(resolve_(target));
    if (!QFileInfo(path).isFile()) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace vrx
