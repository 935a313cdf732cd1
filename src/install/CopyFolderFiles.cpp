#include "install/CopyFolderFiles.h"

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "install/FileHasData.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"

namespace vrx {

namespace {

// Every failure ends the same way: one message, and the window closed without asking.
void FailCopy(Session& session) {
    session.prompts.message(kCopyFailed);
    session.status.SetClosingByProgram(true);
    session.status.RequestClose();
}

std::int32_t FileCount(std::size_t size) {
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(size < kMax ? size : kMax);
}

// The read-only fix: a Windows copy refuses read-only and hidden targets, so a
// target that holds data loses all its attribute bits first. Empty targets are
// left alone. False when the attributes could not be read or set.
bool ClearTargetAttributes(FileSystem& fs, const std::string& target) {
    // One look at the target here; the copy looks again just before replacing it.
    const DataFileAttributes look = AttributesIfData(fs, target);
    if (!look.hasData) return true;
    if (!look.bits) return false;
    if (*look.bits == 0) return true;
    return fs.setAttributes(target, 0);
}

}  // namespace

void CopyFolderFiles(Session& session, const std::string& fromFolder, const std::string& toFolder) {
    FileSystem& fs = session.fs;
    StatusWindow& status = session.status;
    status.SetClosingByProgram(false);

    // An unset folder would turn every name into a path at the root of the file system.
    if (fromFolder.empty() || toFolder.empty()) {
        FailCopy(session);
        return;
    }

    const auto counted = fs.listOrdinaryFiles(fromFolder);
    if (!counted) {
        FailCopy(session);
        return;
    }
    const std::int32_t fileCount = FileCount(counted->size());

    if (!fs.exists(fromFolder)) {
        session.prompts.message(kSourceMissing);
        return;
    }
    if (!fs.exists(toFolder)) {
        session.prompts.message(kTargetFolderMissing);
        return;
    }

    // An earlier run that was killed mid-copy may have left its temporary files here.
    fs.removeLeftoverTemporaries(toFolder);
    const CopyRun run(fs);

    // Listed again, so files added since the count are copied too.
    const auto names = fs.listOrdinaryFiles(fromFolder);
    if (!names || names->empty()) {
        FailCopy(session);
        return;
    }

    std::vector<ExpectedCopy> expected;
    expected.reserve(names->size());
    for (const std::string& name : *names) expected.push_back({JoinPath(fromFolder, name), JoinPath(toFolder, name)});
    fs.expectCopies(std::move(expected));

    status.Open();
    status.SetAction(kCopyingAction);
    status.SetProgressCaption("");
    status.InitProgress(fileCount, "", true);

    std::int32_t copied = 0;
    for (const std::string& name : *names) {
        if (status.CancelRequested()) break;
        status.ProcessEvents();

        const std::string target = JoinPath(toFolder, name);
        // Read per file: the settings window stays usable while a copy runs.
        if (session.settings.readoverwrite == 1 && !ClearTargetAttributes(fs, target)) {
            FailCopy(session);
            return;
        }
        if (!fs.copyFile(JoinPath(fromFolder, name), target).ok) {
            FailCopy(session);
            return;
        }

        if (copied < std::numeric_limits<std::int32_t>::max()) ++copied;
        status.Progress(copied, target);
    }
}

}  // namespace vrx
