#include "install/InstallCommand.h"

#include <cstddef>

#include "session/Session.h"
#include "history/History.h"
#include "install/CopyFolderFiles.h"
#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "progress/StatusWindow.h"

namespace vrx {

namespace {

bool AnyChecked(const AreaChecks& rows) {
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (rows.IsChecked(row)) return true;
    }
    return false;
}

}  // namespace

bool InstallSelectedAreas(Session& session, const AreaChecks& rows, const std::vector<SceneryArea>& areas) {
    ActionGuard guard(session);
    if (!guard) return false;

    StatusWindow& status = session.status;
    status.SetCancelRequested(false);

    if (!AnyChecked(rows)) {
        session.prompts.message(kNothingSelected);
        return true;
    }

    for (int row = 0; row < rows.RowCount(); ++row) {
        if (status.CancelRequested()) return true;
        if (!rows.IsChecked(row)) continue;
        // A row with no catalogue entry has nothing to install.
        if (static_cast<std::size_t>(row) >= areas.size()) continue;

        const SceneryArea& area = areas[static_cast<std::size_t>(row)];
        // An unset simulator folder stays empty, which the copy engine refuses, rather than the root.
        const std::string& fspath = session.settings.fspath;
        const std::string toFolder = fspath.empty() ? std::string() : JoinCollapsed(fspath, area.TargetFolder);
        const std::string fromFolder = JoinPath(session.appFolder, area.SourceFolder);
        CopyFolderFiles(session, fromFolder, toFolder);

        // Logged whatever the copy's outcome; only a cancel leaves the area out.
        if (!status.CancelRequested()) {
            session.history.AddToHistory(session.history.MakeLine(kInstalledKind, " - " + rows.RowText(row)));
        }
    }
    if (status.CancelRequested()) return true;

    status.FinishRun(kFilesCopied);
    return true;
}

}  // namespace vrx
