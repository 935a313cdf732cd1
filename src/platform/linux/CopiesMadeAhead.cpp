// The copies made ahead by workers: a run that announces its copies into a
// folder where their targets do not exist yet has two workers write each
// source's copy into an unnamed file there, while the run's thread checks each
// target and gives each file its name when the run asks for that copy, in the
// run's order. A file made ahead for a target that appeared meanwhile is given
// a temporary name and renamed over it.

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "platform/linux/CaseResolver.h"
#include "platform/linux/CopyAhead.h"
#include "platform/linux/CopyAttributes.h"
#include "platform/linux/FdCloser.h"
#include "platform/linux/FileCopier.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

// Copies prepared ahead: by so many workers, at most so many files past the
// one the run is at, and only files up to this size, so that a cancel never
// waits long for a worker to finish.
constexpr int kAheadWorkers = 2;
constexpr std::size_t kAheadWindow = 16;
constexpr off_t kAheadLargest = off_t{64} << 20;

}  // namespace

void FileCopier::expect(std::vector<ExpectedCopy> copies,
                        const std::function<const ListedFile*(const std::string& from)>& listedOf) {
    stopAhead();
    // Copies made ahead are unnamed files, which take a name through /proc/self/fd.
    if (copies.empty() || !ProcessFdsAreLinkable()) return;
    const std::string sourceFolder = ParentFolder(copies.front().from);
    const std::string targetFolder = ParentFolder(copies.front().to);
    const CaseResolver::Entry source = resolver_.resolve(sourceFolder);
    const CaseResolver::Entry target = resolver_.resolve(targetFolder);
    if (!source.exists || !target.exists || !S_ISDIR(source.st.st_mode) || !S_ISDIR(target.st.st_mode)) return;
    if (source.st.st_dev == target.st.st_dev && source.st.st_ino == target.st.st_ino) return;

    // Files copied over older ones are best copied by the run alone, which
    // reuses each replaced file for the next copy: workers beside it only slow
    // it down there. The first target tells which kind of run this is, before
    // any work on the plan.
    struct stat first {};
    if (::lstat(ChildPath(target.path, LastComponent(copies.front().to)).c_str(), &first) == 0) return;

    // One source folder and one target folder, and never the same one: then
    // no copy of the run can change a source another copy reads ahead.
    for (const ExpectedCopy& copy : copies) {
        if (ParentFolder(copy.from) != sourceFolder || ParentFolder(copy.to) != targetFolder) return;
    }
    std::vector<PlannedCopy> plan;
    plan.reserve(copies.size());
    for (ExpectedCopy& copy : copies) {
        const ListedFile* listed = listedOf(copy.from);
        plan.push_back({std::move(copy.from), std::move(copy.to), copy.onlyWithData,
                        listed ? std::optional<ListedFile>(*listed) : std::nullopt});
    }

    aheadSourceFolder_ = source.path;
    aheadTargetFolder_ = target.path;
    for (int i = 0; i < kAheadWorkers; ++i) workers_.push_back(std::make_unique<Worker>());
    ahead_ = std::make_unique<CopyAhead<PlannedCopy, CopyTemporary>>(
        [this](std::size_t index, int worker) { return prepare(index, *workers_[static_cast<std::size_t>(worker)]); },
        [](CopyTemporary& temp) { DropTemporary(temp); }, kAheadWorkers, kAheadWindow);
    try {
        ahead_->start(std::move(plan));
    } catch (const std::system_error&) {
        stopAhead();  // no threads to be had: the run copies every file itself
    }
}

void FileCopier::stopAhead() {
    if (ahead_) ahead_->stop();
    ahead_.reset();
    workers_.clear();
}

std::optional<CopyTemporary> FileCopier::prepare(std::size_t index, Worker& worker) {
    const PlannedCopy& planned = ahead_->planned(index);
    // A target that is there is left to the run, which reuses it as the next
    // copy's file (a guess: the run looks at the target again before replacing).
    struct stat guess {};
    const std::string to = ChildPath(aheadTargetFolder_, LastComponent(planned.to));
    if (::lstat(to.c_str(), &guess) == 0) return std::nullopt;

    // Read only through a name of its own in the source folder: a link, or a
    // file with more names, might be a file the run writes, so it is left to the run.
    std::string source = ChildPath(aheadSourceFolder_, LastComponent(planned.from));
    int in = ::open(source.c_str(), kSourceFlags | O_NOFOLLOW);
    if (in < 0 && errno == ENOENT) {
        source = worker.resolver.respell(source);
        in = ::open(source.c_str(), kSourceFlags | O_NOFOLLOW);
    }
    if (in < 0) return std::nullopt;
    FdCloser inCloser(in);
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_size <= 0 ||
        st.st_size > kAheadLargest) {
        return std::nullopt;
    }
    const ListedFile* listed = planned.listed ? &*planned.listed : nullptr;

    // Written as an unnamed file, which nobody sees before the run gives it
    // its name: a kill leaves nothing of it, however many are in flight.
    const mode_t mode = st.st_mode & 0777;
    CopyTemporary temp = FreshTemporary(openUnnamed_(aheadTargetFolder_, mode), {}, aheadTargetFolder_, mode);
    if (temp.fd < 0 || Fill(worker.data, in, st, source, SourceDosAttrib(in, st, listed), planned.to, temp)) {
        DropTemporary(temp);
        return std::nullopt;
    }
    return temp;
}

std::optional<CopyResult> FileCopier::commit(CopyTemporary& prepared, const std::string& to,
                                             const std::function<void()>& beforeReplace) {
    const CaseResolver::Entry target = resolver_.resolve(to);
    if (ParentFolder(target.path) != prepared.folder) {
        DropTemporary(prepared);
        return std::nullopt;
    }
    if (std::optional<CopyResult> refusal = Refusal(target)) {
        DropTemporary(prepared);
        return refusal;
    }
    return place(prepared, target, beforeReplace);
}

}  // namespace vrx
