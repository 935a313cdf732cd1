#pragma once
// The replacing file copy with the semantics of a Windows file copy, made
// atomic: the data goes into a hidden temporary file in the target's folder,
// which takes the target's place only once it is complete.
//
// The complete temporary is exchanged with the target (renameat2
// RENAME_EXCHANGE), and the old target, now under the temporary name, becomes
// the temporary file of the next copy into that folder; the kept temporary is
// removed by release(), which every run over a folder ends with. A target
// that does not exist yet is written as an unnamed file (O_TMPFILE) that is
// given the target's name once it is complete. A run that announces its
// copies (expect) has them prepared ahead by two workers.
//
// Where each part lives:
//   FileCopier.cpp          the copy's steps: source, target, temporary, fill, place
//   ReplacedFileReuse.*     the reuse of replaced files (which may be reused, the kept file taken again)
//   CopiesMadeAhead.cpp     the copies made ahead by workers into unnamed files
//   DataCopier.*            the data copy (clone, copy_file_range, read and write)
//   TargetExchange.cpp      the exchange and its checks (the refusals, the exchange or rename)
//   CopyAttributes.*        the attributes (permission bits, user.DOSATTRIB)
//   FolderHandle.*          the folders a run copies between, held open so that files are named relative to them

#include <fcntl.h>
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/linux/CaseResolver.h"
#include "platform/linux/CopyTemporary.h"
#include "platform/linux/DataCopier.h"
#include "platform/linux/FolderHandle.h"
#include "platform/linux/ListedFile.h"
#include "platform/linux/ReplacedFileReuse.h"

namespace vrx {

// A copy a run expects to make, with what a listing learned of its source.
struct PlannedCopy {
    std::string from;
    std::string to;
    bool onlyWithData = false;
    std::optional<ListedFile> listed;
};

template <typename Planned, typename Prepared>
class CopyAhead;

class FileCopier {
public:
    // Exchanges the files at two paths; 0, or -1 with errno set (as renameat2 does).
    using Exchange = std::function<int(const std::string& a, const std::string& b)>;
    // Opens a new unnamed file in a folder with a mode; its descriptor, or -1 with errno set (as O_TMPFILE does).
    using OpenUnnamed = std::function<int(const std::string& folder, mode_t mode)>;

    explicit FileCopier(CaseResolver& resolver);
    ~FileCopier();
    FileCopier(const FileCopier&) = delete;
    FileCopier& operator=(const FileCopier&) = delete;

    // Copies from over to (both resolved without regard to case); beforeReplace
    // runs when the temporary file is complete, just before it takes the
    // target's place. listed, when given, is what a listing learned of from.
    // With onlyWithData, a source that is missing, a folder or empty is
    // passed over: nothing is done and the copy succeeds.
    CopyResult copy(const std::string& from, const std::string& to, const std::function<void()>& beforeReplace,
                    const ListedFile* listed = nullptr, bool onlyWithData = false);

    // Removes the temporary file kept for the next copy, if any, and lets go
    // of the folders held open for the copies.
    void release();

    // Announces the copies the run will most likely ask for next, in this
    // order, to be prepared ahead. Only a plan whose sources all lie in one
    // folder and whose targets all lie in another is prepared; a copy asked for
    // that is not next in the plan is made as without one. listedOf gives
    // what a listing learned of a source (nullptr for nothing); it is asked
    // only once the plan is to be prepared.
    void expect(std::vector<ExpectedCopy> copies,
                const std::function<const ListedFile*(const std::string& from)>& listedOf);
    // Stops preparing ahead and discards what was prepared and not asked for.
    void stopAhead();

    // Test hook: stands in for the kernel's exchange of two files (named by whole paths).
    void setExchangeForTesting(Exchange exchange) { exchange_ = std::move(exchange); }
    // Test hook: stands in for the kernel's creation of unnamed files.
    void setOpenUnnamedForTesting(OpenUnnamed openUnnamed) { openUnnamed_ = std::move(openUnnamed); }

private:
    // What a worker copying ahead has of its own.
    struct Worker {
        DataCopier data;
        CaseResolver resolver;  // a resolver remembers listings and is not shared between threads
    };

    // Non-blocking so that a named pipe given as source is refused instead of hanging the copy.
    static constexpr int kSourceFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

    // The failed copy's result: what failed, the path, and errno's text when error is set.
    static CopyResult Failure(const std::string& what, const std::string& path, int error = 0);

    // FileCopier.cpp: copies the open source in (at source, described by st)
    // over to, as copy does from there.
    CopyResult copyOpen(int in, const struct stat& st, const std::string& source,
                        const std::optional<std::string>& sourceDosAttrib, const std::string& to,
                        const std::function<void()>& beforeReplace);
    // FileCopier.cpp: writes the copy of the open source in (at source,
    // described by st) into temp, to become to: data, permissions,
    // user.DOSATTRIB (sourceDosAttrib) and time. nullptr, or what failed with errno set.
    static const char* Fill(DataCopier& data, int in, const struct stat& st, const std::string& source,
                            const std::optional<std::string>& sourceDosAttrib, const std::string& to,
                            CopyTemporary& temp);

    // ReplacedFileReuse.cpp: removes the temporary file kept for the next copy, if any.
    void dropKept();
    // ReplacedFileReuse.cpp: the kept temporary when it lives in folder and is
    // still safe to write, else a new one: for a new target an unnamed one
    // (empty path) where the file system has them. fd < 0 with errno set on failure.
    CopyTemporary takeTemporary(const std::string& folder, mode_t mode, bool forNewTarget);

    // TargetExchange.cpp: the target at to, found without regard to case and
    // examined without following a link at its name (st describes what a link names).
    CaseResolver::Entry examineTarget(const std::string& to);
    // TargetExchange.cpp: refuses a target a Windows copy would not replace; nullopt when it may be replaced.
    static std::optional<CopyResult> Refusal(const CaseResolver::Entry& target);
    // TargetExchange.cpp: puts the complete temp, still open, in place of the
    // target at targetPath as examined in target, and notes the name; the copy's result.
    CopyResult place(CopyTemporary& temp, const CaseResolver::Entry& target,
                     const std::function<void()>& beforeReplace);
    // TargetExchange.cpp: puts the complete, closed, named temp in place of
    // the target at targetPath. reusable is the target's stat when it may
    // become a later temporary (then it is exchanged and kept), else nullptr
    // (then temp is renamed over it). False with errno set, EISDIR when a
    // folder had taken the target's name.
    // On success the exchanged temp's name passes to the kept file.
    bool replace(CopyTemporary& temp, const std::string& targetPath, const struct stat* reusable);

    // CopiesMadeAhead.cpp: the copy of planned item index made by a worker,
    // complete in an unnamed file; nullopt to leave it to the run.
    std::optional<CopyTemporary> prepare(std::size_t index, Worker& worker);
    // CopiesMadeAhead.cpp: puts a prepared copy in place of to; nullopt when
    // it no longer fits the target (it is dropped, and the copy is made as without it).
    std::optional<CopyResult> commit(CopyTemporary& prepared, const std::string& to,
                                     const std::function<void()>& beforeReplace);

    CaseResolver& resolver_;
    FolderHandle sourceFolder_;  // the folder the last copy read from
    FolderHandle targetFolder_;  // the folder the last copy wrote into
    DataCopier data_;
    KeptFile kept_;
    Exchange exchange_;
    OpenUnnamed openUnnamed_;
    std::optional<dev_t> noExchange_;  // the device whose file system cannot exchange files
    std::string noUnnamed_;            // the folder whose file system has no unnamed files

    // Preparing ahead: the plan's folders as found on disk, and the workers.
    std::string aheadSourceFolder_;
    std::string aheadTargetFolder_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::unique_ptr<CopyAhead<PlannedCopy, CopyTemporary>> ahead_;
};

}  // namespace vrx
