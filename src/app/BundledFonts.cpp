#include "app/BundledFonts.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace vrx {

namespace {

constexpr const char* kDesignFont = "Arial";
constexpr const char* kStandIn = "Liberation Sans";

}  // namespace

int AddBundledFonts(const QString& folder) {
    const QDir fonts(folder);
    if (!fonts.exists()) return 0;
    int added = 0;
    bool standInAdded = false;
    for (const QString& name : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name)) {
        const int id = QFontDatabase::addApplicationFont(fonts.filePath(name));
        if (id < 0) continue;
        ++added;
        if (QFontDatabase::applicationFontFamilies(id).contains(QLatin1String(kStandIn))) standInAdded = true;
    }
    // A family the font database knows is used as it is; for one it does
    // not, Qt tries the substitutes before the system's own fallback.
    if (standInAdded && !QFontDatabase::families().contains(QLatin1String(kDesignFont), Qt::CaseInsensitive)) {
        QFont::insertSubstitution(QLatin1String(kDesignFont), QLatin1String(kStandIn));
    }
    return added;
}

}  // namespace vrx
