// The copy itself, step by step: open and examine the source, resolve and
// check the target, take a temporary, fill it, put it in place.

#include "platform/linux/FileCopier.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/CopyAhead.h"
#include "platform/linux/CopyAttributes.h"
#include "platform/linux/FdCloser.h"

namespace vrx {

namespace {

int KernelOpenUnnamed(const std::string& folder, mode_t mode) {
    return ::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, mode);
}

}  // namespace

FileCopier::FileCopier(CaseResolver& resolver) : resolver_(resolver), openUnnamed_(KernelOpenUnnamed) {}

FileCopier::~FileCopier() {
    stopAhead();
    release();
}

CopyResult FileCopier::Failure(const std::string& what, const std::string& path, int error) {
    std::string text = what + ": " + path;
    if (error != 0) text += " (" + std::string(std::strerror(error)) + ")";
    return {false, text};
}

CopyResult FileCopier::copy(const std::string& from, const std::string& to, const std::function<void()>& beforeReplace,
                            const ListedFile* listed, bool onlyWithData) {
    if (ahead_) {
        if (std::optional<CopyTemporary> prepared = ahead_->take(from, to, onlyWithData)) {
            if (std::optional<CopyResult> result = commit(*prepared, to, beforeReplace)) return *result;
        }
    }

    std::string source = from;
    // By its name in its folder, held open for the copies from there; its
    // name, the path's tail, ends where the path does.
    const PathParts parts = SplitPath(from);
    int in = !parts.folder.empty() && sourceFolder_.hold(parts.folder, resolver_)
                 ? ::openat(sourceFolder_.fd(), parts.name.data(), kSourceFlags)
                 : ::open(source.c_str(), kSourceFlags);
    // Kept beside each open: the lookups in between may leave errno changed.
    int error = in < 0 ? errno : 0;
    if (in < 0 && (error == ENOENT || error == ENOTDIR)) {
        // The exact name is known to be missing now: only other spellings are looked for.
        source = resolver_.respell(from);
        if (source != from) {
            in = ::open(source.c_str(), kSourceFlags);
            error = in < 0 ? errno : 0;
        }
        if (in < 0 && source != from && error == ENOENT) {
            // Gone since the folder was listed: look once more, from the start.
            source = resolver_.resolve(from).path;
            in = ::open(source.c_str(), kSourceFlags);
            error = in < 0 ? errno : 0;
        }
    }
    if (in < 0) {
        if (onlyWithData) {
            // Only a file that holds data and still cannot be read fails.
            const CaseResolver::Entry entry =
                error == ENOENT || error == ENOTDIR ? CaseResolver::Entry{} : resolver_.resolve(from);
            if (!entry.exists || S_ISDIR(entry.st.st_mode) || entry.st.st_size <= 0) return {true, {}};
        }
        return Failure("cannot open source", from, error);
    }
    FdCloser inCloser(in);
    struct stat sourceStat {};
    if (::fstat(in, &sourceStat) != 0) return Failure("cannot examine source", source, errno);
    if (onlyWithData && (S_ISDIR(sourceStat.st_mode) || sourceStat.st_size <= 0)) return {true, {}};
    if (S_ISDIR(sourceStat.st_mode)) return Failure("source is a folder", source);
    if (!S_ISREG(sourceStat.st_mode)) return Failure("source is not a plain file", source);

    return copyOpen(in, sourceStat, source, SourceDosAttrib(in, sourceStat, listed), to, beforeReplace);
}

CopyResult FileCopier::copyOpen(int in, const struct stat& st, const std::string& source,
                                const std::optional<std::string>& sourceDosAttrib, const std::string& to,
                                const std::function<void()>& beforeReplace) {
    const CaseResolver::Entry target = examineTarget(to);
    if (std::optional<CopyResult> refusal = Refusal(target)) return *refusal;

    const std::string folder = ParentFolder(target.path);
    // A dangling link does not exist as a file, but its name does: it is renamed over, not linked to.
    CopyTemporary temp = takeTemporary(folder, st.st_mode & 0777, !target.exists && !target.isLink);
    if (temp.fd < 0) return Failure("cannot create a file in", folder, errno);
    if (const char* failed = Fill(data_, in, st, source, sourceDosAttrib, target.path, temp)) {
        const int fillError = errno;
        DropTemporary(temp);
        return Failure(failed, target.path, fillError);
    }
    return place(temp, target, beforeReplace);
}

const char* FileCopier::Fill(DataCopier& data, int in, const struct stat& st, const std::string& source,
                             const std::optional<std::string>& sourceDosAttrib, const std::string& to,
                             CopyTemporary& temp) {
    if (!data.copy(in, temp.fd, st, temp.folder)) return "cannot copy data to";
    const mode_t mode = CopyMode(st.st_mode);
    if (temp.mode != mode && ::fchmod(temp.fd, mode) != 0) return "cannot set the permissions of";
    if (!SetDosAttrib(temp.fd, WantedDosAttrib(sourceDosAttrib, source, to), temp.carriesDosAttrib)) {
        return "cannot set the attributes of";
    }
    const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    if (::futimens(temp.fd, times) != 0) return "cannot set the time of";
    return nullptr;
}

}  // namespace vrx
