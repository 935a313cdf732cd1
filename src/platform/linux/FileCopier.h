#pragma once
// The replacing file copy with the semantics of a Windows file copy, made
// atomic: the data goes into a hidden temporary file in the target's folder,
// which takes the target's place only once it is complete.
//
// Creating an inode for every file and freeing the replaced one costs more
// than the copy itself on ext4, so the copier reuses them: the complete temporary file is exchanged with the target
// (renameat2 RENAME_EXCHANGE), and the old target, now under the temporary
// name, becomes the temporary file of the next copy into that folder. Only a
// plain file with no other name, owned by us, without other programs'
// attributes, is ever reused, as it is when that copy opens it; anything else
// that ends up under the temporary name is unlinked untouched. The kept
// temporary is removed by release(), which every run over a folder ends with.
// A target that does not exist yet is written as an unnamed file (O_TMPFILE)
// that is given the target's name once it is complete.
//
// A run that announces its copies (expect) has them prepared ahead by two
// workers (CopyAhead): each writes a source's copy into an unnamed file in the
// target's folder, and the run's thread checks the target and puts the file in
// place when the run asks for that copy, in the run's order. A file made ahead
// for an existing target is given a temporary name and renamed over it.

#include <sys/stat.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/linux/CaseResolver.h"

namespace vrx {

// What a listing of the source's folder learned of one file, so that the
// copy need not ask again: used only while the opened source is still that file.
struct ListedFile {
    dev_t device = 0;
    ino_t inode = 0;
    std::optional<std::string> dosAttrib;  // its user.DOSATTRIB, nullopt for none
};

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

    // Removes the temporary file kept for the next copy, if any.
    void release();

    // Announces the copies the run will most likely ask for next, in this
    // order, to be prepared ahead. Only a plan whose sources all lie in one
    // folder and whose targets all lie in another is prepared; a copy asked for
    // that is not next in the plan is made as without one.
    void expect(std::vector<PlannedCopy> plan);
    // Stops preparing ahead and discards what was prepared and not asked for.
    void stopAhead();

    // Test hook: stands in for the kernel's exchange of two files.
    void setExchangeForTesting(Exchange exchange) { exchange_ = std::move(exchange); }
    // Test hook: stands in for the kernel's creation of unnamed files.
    void setOpenUnnamedForTesting(OpenUnnamed openUnnamed) { openUnnamed_ = std::move(openUnnamed); }

private:
    // The temporary file being written: a fresh one or the kept one.
    struct Temporary {
        int fd = -1;
        std::string path;  // empty for an unnamed file
        std::string folder;
        mode_t mode = 0;                // its permission bits as they are now
        bool carriesDosAttrib = false;  // whether it has a user.DOSATTRIB now
    };
    // The replaced file left under a temporary name by the last exchange. It
    // is examined only when the next copy into its folder takes it, through
    // the descriptor that copy writes to: everything that may have happened
    // to it since the exchange is seen then.
    struct Kept {
        std::string path;
        std::string folder;
        dev_t device = 0;
        ino_t inode = 0;  // the target's file as it was examined before the exchange
        bool present = false;
    };
    // Where a fast path failed as unsupported, so that it is not tried again for every file.
    struct Unsupported {
        dev_t sourceDevice = 0;
        std::string targetFolder;
        bool known = false;
        bool matches(dev_t device, const std::string& folder) const {
            return known && sourceDevice == device && targetFolder == folder;
        }
    };
    // What one thread needs to copy data: its buffer and what it learned fails.
    struct DataCopier {
        std::vector<char> buffer;
        Unsupported noClone;
        Unsupported noCopyRange;
        // Copies all data of in (described by source) to out; false with errno set on failure.
        bool copy(int in, int out, const struct stat& source, const std::string& targetFolder);
        bool copyByReadWrite(int in, int out);
    };
    struct Worker;

    // Refuses a target a Windows copy would not replace; nullopt when it may be replaced.
    static std::optional<CopyResult> Refusal(const CaseResolver::Entry& target);
    // Writes the copy of the open source in (at source, described by st) into
    // temp, to become to: data, permissions, user.DOSATTRIB (sourceDosAttrib)
    // and time. nullptr, or what failed with errno set.
    static const char* Fill(DataCopier& data, int in, const struct stat& st, const std::string& source,
                            const std::optional<std::string>& sourceDosAttrib, const std::string& to, Temporary& temp);

    // The kept temporary when it lives in folder and is still safe to write,
    // else a new one: for a new target an unnamed one (empty path) where the
    // file system has them. fd < 0 with errno set on failure.
    Temporary takeTemporary(const std::string& folder, mode_t mode, bool forNewTarget);
    // A temporary just created at fd (path empty for an unnamed file) in folder with permission bits mode.
    static Temporary Fresh(int fd, std::string path, const std::string& folder, mode_t mode);
    // Opens the kept file for writing when it is still the file exchanged, a
    // plain file with no other name, ours, without other programs' attributes; emptied.
    static bool ReopenKept(const Kept& kept, Temporary& temp);
    // Puts the complete, closed, named temp in place of the target at targetPath.
    // reusable is the target's stat when it may become a later temporary (then
    // it is exchanged and kept), else nullptr (then temp is renamed over it).
    // False with errno set, EISDIR when a folder had taken the target's name.
    bool replace(const Temporary& temp, const std::string& targetPath, const struct stat* reusable);
    // Puts the complete temp, still open, in place of the target at targetPath
    // as examined in target, and notes the name; the copy's result.
    CopyResult place(Temporary& temp, const CaseResolver::Entry& target, const std::function<void()>& beforeReplace);
    // Copies the open source in (at source, described by st) over to, as copy does from there.
    CopyResult copyOpen(int in, const struct stat& st, const std::string& source,
                        const std::optional<std::string>& sourceDosAttrib, const std::string& to,
                        const std::function<void()>& beforeReplace);
    // Removes a temporary that will not be put in place.
    static void drop(Temporary& temp);

    // The copy of planned item index made by a worker, complete in an unnamed
    // file; nullopt to leave it to the run.
    std::optional<Temporary> prepare(std::size_t index, Worker& worker);
    // Puts a prepared copy in place of to; nullopt when it no longer fits
    // the target (it is dropped, and the copy is made as without it).
    std::optional<CopyResult> commit(Temporary& prepared, const std::string& to,
                                     const std::function<void()>& beforeReplace);

    CaseResolver& resolver_;
    DataCopier data_;
    Kept kept_;
    Exchange exchange_;
    OpenUnnamed openUnnamed_;
    std::optional<dev_t> noExchange_;  // the device whose file system cannot exchange files
    std::string noUnnamed_;            // the folder whose file system has no unnamed files

    // Preparing ahead: the plan's folders as found on disk, and the workers.
    std::string aheadSourceFolder_;
    std::string aheadTargetFolder_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::unique_ptr<CopyAhead<PlannedCopy, Temporary>> ahead_;
};

}  // namespace vrx
