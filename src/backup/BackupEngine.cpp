#include "backup/BackupEngine.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "backup/BackupList.h"
#include "install/FileHasData.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Prompts.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"

namespace vrx {

namespace {

constexpr std::size_t kLongestWindowsPath = 32767;

const char* RunCaption(const std::string& altSuffix, bool restoring) {
    const bool alternate = !altSuffix.empty();
    if (restoring) return alternate ? "Restoring alternate backup files..." : "Restoring original backup files...";
    return alternate ? "Creating alternate backup files..." : "Creating backup files...";
}

// Which attribute values the read-only fix clears on an existing target.
enum class FixScope {
    ReadOnlyOnly,  // exactly read-only: a read-only and archive target keeps its bits
    AnyBit,
};

class EntryCopier {
public:
    EntryCopier(Session& session, const std::string& fromFolder, const std::string& toFolder,
                const std::string& altSuffix, bool restoring)
        : fs_(session.fs),
          from_(fromFolder),
          to_(toFolder),
          alt_(altSuffix),
          restoring_(restoring),
          settings_(session.settings),
          skipExisting_(session.skipExistingBackups) {}

    // The copy Copy makes of entry when it makes one, for announcing it ahead.
    // A name longer than any Windows path names no file and is not announced.
    std::optional<ExpectedCopy> Expected(const std::string& entry) const {
        if (entry.size() > kLongestWindowsPath || HasParentComponent(entry)) return std::nullopt;
        const std::optional<Route> route = RouteOf(entry);
        if (!route) return std::nullopt;
        return ExpectedCopy{route->source, route->target, true};
    }

    // Copies one entry by the rule of the run; false when the run must fail.
    bool Copy(const std::string& entry) {
        // The list is data: a name climbing out of the folder must not write elsewhere.
        if (HasParentComponent(entry)) return false;
        const std::optional<Route> route = RouteOf(entry);
        if (!route) return true;
        if (!restoring_) return Create(*route);
        // A restore over the simulator's own file: the main set clears only a
        // plain read-only bit, the alternate set any bit.
        return Restore(*route, alt_.empty() ? FixScope::ReadOnlyOnly : FixScope::AnyBit);
    }

private:
    // Where the run copies an entry from and to.
    struct Route {
        std::string source;
        std::string target;
    };

    // The entry's route by the rule of the run; nullopt for an entry the run
    // passes over (".vrb" files are not restored from the main set).
    std::optional<Route> RouteOf(const std::string& entry) const {
        if (!restoring_) return Route{JoinPath(from_, entry), JoinPath(to_, entry + alt_)};
        if (alt_.empty()) {
            if (EndsWithIgnoringCase(entry, "vrb")) return std::nullopt;
            return Route{JoinPath(from_, entry), JoinPath(to_, entry)};
        }
        return Route{JoinPath(from_, entry + alt_), JoinPath(to_, entry)};
    }

    bool Create(const Route& route) {
        const std::string& backup = route.target;
        // Looked at only when the fix or the skip needs to know, once: the copy looks at the backup itself.
        const bool fix = FixOn();
        DataFileAttributes backupLook;
        if (fix) {
            backupLook = AttributesIfData(fs_, backup);
        } else if (skipExisting_) {
            backupLook.hasData = FileHasData(fs_, backup);
        }
        // Made writable before the skip decision, so kept copies are made writable too.
        if (fix && !ApplyFix(backup, backupLook, FixScope::ReadOnlyOnly)) return false;
        if (skipExisting_ && backupLook.hasData) return true;
        return CopyIfData(route.source, backup);
    }

    bool Restore(const Route& route, FixScope scope) {
        if (FixOn() && !ApplyFix(route.target, AttributesIfData(fs_, route.target), scope)) return false;
        return CopyIfData(route.source, route.target);
    }

    // Read per entry: the settings window stays usable while a run goes on.
    bool FixOn() const { return settings_.readoverwrite == 1; }

    // The fix: clears the attributes of a target that holds data (as look
    // found it) when they fall in scope; false when they cannot be read or set.
    // The look is the fix's only one: the copy looks at the target again itself.
    bool ApplyFix(const std::string& target, const DataFileAttributes& look, FixScope scope) {
        if (!look.hasData) return true;
        if (!look.bits) return false;
        const bool inScope = scope == FixScope::AnyBit ? *look.bits != 0 : *look.bits == AttrReadOnly;
        return !inScope || fs_.setAttributes(target, 0);
    }

    // A missing or empty source is passed over without a failure.
    bool CopyIfData(const std::string& source, const std::string& target) {
        return fs_.copyFileIfData(source, target).ok;
    }

    FileSystem& fs_;
    const std::string& from_;
    const std::string& to_;
    const std::string& alt_;
    bool restoring_;
    const AppSettings& settings_;
    const bool& skipExisting_;  // the shared flag itself, read at each entry
};

RunOutcome FailRun(Session& session) {
    session.prompts.message(kBackupFailed);
    session.status.SetClosingByProgram(true);
    session.status.RequestClose();
    return RunOutcome::Failed;
}

}  // namespace

RunOutcome ProcessBackupList(Session& session, const std::string& fromFolder, const std::string& toFolder,
                             const std::string& altSuffix, bool restoring) {
    FileSystem& fs = session.fs;
    StatusWindow& status = session.status;
    status.SetCancelRequested(false);
    status.SetClosingByProgram(false);

    // An unset folder would turn every name into a path at the root of the file system.
    if (fromFolder.empty() || toFolder.empty()) return FailRun(session);

    if (!fs.isFolder(fromFolder)) fs.createFolder(fromFolder);

    const std::optional<BackupList> list = BackupList::Read(fs, JoinPath(session.appFolder, "backup.lst"));
    if (!list) return FailRun(session);
    const std::int32_t count = list->Count();
    std::optional<std::string> entry = list->Entry(2);
    if (!entry) return FailRun(session);

    if (!fs.isFolder(fromFolder)) return FailRun(session);

    // A copy interrupted in an earlier run may have left its temporary file here.
    fs.removeLeftoverTemporaries(toFolder);
    const CopyRun run(fs);

    status.Open();
    status.SetAction(RunCaption(altSuffix, restoring));
    status.SetProgressCaption("");
    const std::int64_t scale = static_cast<std::int64_t>(count) - 1;
    if (scale < std::numeric_limits<std::int32_t>::min()) return FailRun(session);
    status.InitProgress(static_cast<std::int32_t>(scale), JoinPath(toFolder, *entry), true);

    EntryCopier copier(session, fromFolder, toFolder, altSuffix, restoring);
    // The entries the loop below will reach, announced so that their copies may be prepared ahead.
    std::vector<ExpectedCopy> expected;
    for (std::int64_t line = 2; count <= 0 || line <= count; ++line) {
        const std::optional<std::string> next = list->Entry(line);
        if (!next) break;
        if (std::optional<ExpectedCopy> copy = copier.Expected(*next)) expected.push_back(std::move(*copy));
    }
    fs.expectCopies(std::move(expected));
    // With a count of 0 or less the end is never reached by counting: the list runs out first.
    for (std::int64_t i = 1; i != count; ++i) {
        if (status.CancelRequested()) return RunOutcome::Cancelled;
        const std::string caption = JoinPath(toFolder, *entry);
        status.Progress(static_cast<std::int32_t>(i), caption);
        status.ProcessEvents();
        if (!copier.Copy(*entry)) return FailRun(session);
        entry = list->Entry(i + 2);
        if (!entry) return FailRun(session);
    }
    status.FinishRun(kBackupComplete);
    // A cancel confirmed during the last entry's copy still counts.
    return status.CancelRequested() ? RunOutcome::Cancelled : RunOutcome::Completed;
}

RunOutcome RunBackupFolderLoop(Session& session, BackupRun run) {
    // The folders as they were when the action began: the settings window stays
    // usable during a run, and a set split between two folders (or a restore
    // that goes on from another folder) would be worse than either.
    const std::string simulatorFolder = session.settings.fspath;
    const std::string backupFolder = session.settings.backuppath;
    RunOutcome outcome = RunOutcome::Completed;
    for (const std::string& slot : session.backupSourceFolders) {
        if (slot.empty()) break;
        // An unset simulator folder stays empty rather than becoming a folder at the root.
        const std::string folder = simulatorFolder.empty() ? std::string() : JoinCollapsed(simulatorFolder, slot);
        RunOutcome ran = RunOutcome::Completed;
        switch (run) {
            case BackupRun::CreateMain:
                ran = ProcessBackupList(session, folder, backupFolder, "", false);
                break;
            case BackupRun::CreateAlternate:
                ran = ProcessBackupList(session, folder, backupFolder, kAltSuffix, false);
                break;
            case BackupRun::RestoreMain:
                ran = ProcessBackupList(session, backupFolder, folder, "", true);
                break;
            case BackupRun::RestoreAlternate:
                ran = ProcessBackupList(session, backupFolder, folder, kAltSuffix, true);
                break;
        }
        // A failed folder leaves the set incomplete, whatever the folders after it do.
        if (ran == RunOutcome::Failed) outcome = RunOutcome::Failed;
        if (session.status.CancelRequested()) return RunOutcome::Cancelled;
    }
    return outcome;
}

}  // namespace vrx
