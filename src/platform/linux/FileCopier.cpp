#include "platform/linux/FileCopier.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/linux/CaseResolver.h"
#include "platform/linux/CopyAhead.h"
#include "platform/linux/DosAttributes.h"
#include "platform/linux/TemporaryFiles.h"

namespace vrx {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kCopyRangeChunk = 1 << 30;
// Copies prepared ahead: by so many workers, at most so many files past the
// one the run is at, and only files up to this size, so that a cancel never
// waits long for a worker to finish.
constexpr int kAheadWorkers = 2;
constexpr std::size_t kAheadWindow = 16;
constexpr off_t kAheadLargest = off_t{64} << 20;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
// Non-blocking so that a named pipe given as source is refused instead of hanging the copy.
constexpr int kSourceFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

CopyResult Failure(const std::string& what, const std::string& path, int error = 0) {
    std::string text = what + ": " + path;
    if (error != 0) text += " (" + std::string(std::strerror(error)) + ")";
    return {false, text};
}

bool IsUnsupported(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == ENOTTY || error == EINVAL || error == EXDEV ||
           error == ENOSYS;
}

// Whether a target whose user.DOSATTRIB reads raw is hidden; a dot file always is, as Wine shows it.
bool IsHidden(const std::optional<std::string>& raw, const std::string& path) {
    if (NameLooksHidden(LastComponent(path))) return true;
    const std::optional<std::uint32_t> stored = raw ? ParseDosAttrib(*raw) : std::nullopt;
    return stored && (*stored & AttrHidden) != 0;
}

// The user.DOSATTRIB the copy of from at to must carry: the source's own
// (sourceRaw), or what keeps its hidden bit when the two names read
// differently; nullopt for none.
std::optional<std::string> WantedDosAttrib(const std::optional<std::string>& sourceRaw, const std::string& from,
                                           const std::string& to) {
    if (sourceRaw) return sourceRaw;
    const bool sourceHidden = NameLooksHidden(LastComponent(from));
    if (sourceHidden == NameLooksHidden(LastComponent(to))) return std::nullopt;
    return FormatDosAttrib(sourceHidden ? std::uint32_t{AttrHidden} : 0U);
}

// Gives the temporary file the wanted user.DOSATTRIB; carriesOne tells
// whether it has one now (a reused file may).
bool SetDosAttrib(int fd, const std::optional<std::string>& wanted, bool carriesOne) {
    if (!wanted) {
        if (!carriesOne) return true;
        // A reused file must not keep the attributes of the file it was.
        return ::fremovexattr(fd, kDosAttribName) == 0 || errno == ENODATA || errno == ENOTSUP || errno == EOPNOTSUPP;
    }
    if (::fsetxattr(fd, kDosAttribName, wanted->data(), wanted->size(), 0) == 0) return true;
    // Attributes matter less than the data; only a full disk makes the copy of a fresh file fail here.
    return !carriesOne && errno != ENOSPC && errno != EDQUOT && errno != EIO;
}

// The permission bits a copy of a file with mode source gets: the source's,
// within the umask, except that read-only follows the source whatever the umask.
mode_t CopyMode(mode_t source) {
    const mode_t created = source & 0777 & ~ProcessUmask();
    return ((created & kWriteBits) == 0) == ((source & kWriteBits) == 0) ? created : source & 0777;
}

// Whether the file described by st may become our next temporary file: a
// plain file with no other name, which we own, so that writing it changes
// nothing anyone else can see.
bool MayReuse(const struct stat& st) {
    static const uid_t user = ::geteuid();
    static const gid_t group = ::getegid();
    return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == user && st.st_gid == group;
}

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() {
        if (fd_ >= 0) ::close(fd_);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// The extended attributes an open file carries, as far as reusing it goes.
struct AttributeNames {
    // Beyond user.DOSATTRIB (which every copy sets or removes) and security
    // labels (which any new file in the folder gets alike): access lists and
    // other programs' attributes belong to the file they were set on, not to the next copy.
    bool foreign = false;
    bool dosAttrib = false;
};

AttributeNames AttributeNamesOf(int fd) {
    AttributeNames found;
    std::array<char, 1024> names{};
    const ssize_t length = ::flistxattr(fd, names.data(), names.size());
    if (length < 0) {
        found.foreign = errno != ENOTSUP && errno != EOPNOTSUPP;  // too many to list counts as foreign
        return found;
    }
    for (std::string_view rest(names.data(), static_cast<std::size_t>(length)); !rest.empty();) {
        const std::string_view name = rest.substr(0, rest.find('\0'));
        if (name == kDosAttribName) {
            found.dosAttrib = true;
        } else if (!name.starts_with("security.")) {
            found.foreign = true;
        }
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
    }
    return found;
}

// Whether an unnamed file can be given a name through /proc/self/fd, which
// needs no privilege (linkat's AT_EMPTY_PATH does).
bool ProcessFdsAreLinkable() {
    static const bool linkable = ::access("/proc/self/fd", F_OK) == 0;
    return linkable;
}

// The user.DOSATTRIB of the open source in (described by st): what the
// listing learned of it while it is still that file, else read from it.
std::optional<std::string> SourceDosAttrib(int in, const struct stat& st, const ListedFile* listed) {
    if (listed && listed->device == st.st_dev && listed->inode == st.st_ino) return listed->dosAttrib;
    return ReadDosAttribRaw(in);
}

int KernelOpenUnnamed(const std::string& folder, mode_t mode) {
    return ::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, mode);
}

int KernelExchange(const std::string& a, const std::string& b) {
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
}

}  // namespace

struct FileCopier::Worker {
    DataCopier data;
    CaseResolver resolver;  // its own: a resolver remembers listings and is not shared between threads
};

FileCopier::FileCopier(CaseResolver& resolver)
    : resolver_(resolver), exchange_(KernelExchange), openUnnamed_(KernelOpenUnnamed) {}

FileCopier::~FileCopier() {
    stopAhead();
    release();
}

void FileCopier::release() {
    if (!kept_.present) return;
    ::unlink(kept_.path.c_str());
    kept_ = {};
}

void FileCopier::expect(std::vector<PlannedCopy> plan) {
    stopAhead();
    // Copies made ahead are unnamed files, which take a name through /proc/self/fd.
    if (plan.empty() || !ProcessFdsAreLinkable()) return;
    // One source folder and one target folder, and never the same one: then
    // no copy of the run can change a source another copy reads ahead.
    const std::string sourceFolder = ParentFolder(plan.front().from);
    const std::string targetFolder = ParentFolder(plan.front().to);
    for (const PlannedCopy& planned : plan) {
        if (ParentFolder(planned.from) != sourceFolder || ParentFolder(planned.to) != targetFolder) return;
    }
    const CaseResolver::Entry source = resolver_.resolve(sourceFolder);
    const CaseResolver::Entry target = resolver_.resolve(targetFolder);
    if (!source.exists || !target.exists || !S_ISDIR(source.st.st_mode) || !S_ISDIR(target.st.st_mode)) return;
    if (source.st.st_dev == target.st.st_dev && source.st.st_ino == target.st.st_ino) return;

    // Files copied over older ones are best copied by the run alone, which
    // reuses each replaced file for the next copy: workers beside it only slow
    // it down there. The first target tells which kind of run this is.
    struct stat first {};
    if (::lstat(ChildPath(target.path, LastComponent(plan.front().to)).c_str(), &first) == 0) return;

    aheadSourceFolder_ = source.path;
    aheadTargetFolder_ = target.path;
    for (int i = 0; i < kAheadWorkers; ++i) workers_.push_back(std::make_unique<Worker>());
    ahead_ = std::make_unique<CopyAhead<PlannedCopy, Temporary>>(
        [this](std::size_t index, int worker) { return prepare(index, *workers_[static_cast<std::size_t>(worker)]); },
        [](Temporary& temp) { drop(temp); }, kAheadWorkers, kAheadWindow);
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

std::optional<CopyResult> FileCopier::Refusal(const CaseResolver::Entry& target) {
    // A link at the target's name is replaced itself, never written through,
    // so only what the link names can be a folder; its attributes do not matter.
    if (!target.exists) return std::nullopt;
    if (S_ISDIR(target.st.st_mode)) return Failure("target is a folder", target.path);
    std::optional<std::string> targetDosAttrib;
    if (!target.isLink) {
        // Checked here because a rename (and root) would replace such a file without complaint.
        if ((target.st.st_mode & kWriteBits) == 0) return Failure("target is read-only", target.path);
        targetDosAttrib = ReadDosAttribRaw(target.path);
    }
    if (IsHidden(targetDosAttrib, target.path)) return Failure("target is hidden", target.path);
    return std::nullopt;
}

CopyResult FileCopier::copy(const std::string& from, const std::string& to, const std::function<void()>& beforeReplace,
                            const ListedFile* listed, bool onlyWithData) {
    if (ahead_) {
        if (std::optional<Temporary> prepared = ahead_->take(from, to, onlyWithData)) {
            if (std::optional<CopyResult> result = commit(*prepared, to, beforeReplace)) return *result;
        }
    }

    std::string source = from;
    int in = ::open(source.c_str(), kSourceFlags);
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
    const CaseResolver::Entry target = resolver_.resolve(to);
    if (std::optional<CopyResult> refusal = Refusal(target)) return *refusal;

    const std::string folder = ParentFolder(target.path);
    // A dangling link does not exist as a file, but its name does: it is renamed over, not linked to.
    Temporary temp = takeTemporary(folder, st.st_mode & 0777, !target.exists && !target.isLink);
    if (temp.fd < 0) return Failure("cannot create a file in", folder, errno);
    if (const char* failed = Fill(data_, in, st, source, sourceDosAttrib, target.path, temp)) {
        const int fillError = errno;
        drop(temp);
        return Failure(failed, target.path, fillError);
    }
    return place(temp, target, beforeReplace);
}

const char* FileCopier::Fill(DataCopier& data, int in, const struct stat& st, const std::string& source,
                             const std::optional<std::string>& sourceDosAttrib, const std::string& to,
                             Temporary& temp) {
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

CopyResult FileCopier::place(Temporary& temp, const CaseResolver::Entry& target,
                             const std::function<void()>& beforeReplace) {
    const std::string& targetPath = target.path;
    const std::string folder = ParentFolder(targetPath);
    const bool madeAhead = temp.path.empty() && (target.exists || target.isLink);
    const struct stat* reusable =
        !madeAhead && target.exists && !target.isLink && MayReuse(target.st) ? &target.st : nullptr;
    auto fail = [&](const char* what) {
        const int error = errno;
        drop(temp);
        return Failure(what, targetPath, error);
    };
    // A rename over a file makes ext4 write the new data before the rename
    // commits; an exchange does not, so the write-back is started here, for a
    // power loss to leave the old content or the new, as after a rename.
    if (reusable && ::sync_file_range(temp.fd, 0, 0, SYNC_FILE_RANGE_WRITE) != 0) {
        return fail("cannot write");
    }
    if (temp.path.empty()) {
        if (!target.exists && !target.isLink) {
            // A file without a name yet: it appears under the target's name, whole, or not at all.
            if (beforeReplace) beforeReplace();
            if (!LinkUnnamed(temp.fd, targetPath)) return fail("cannot replace");
            if (::close(std::exchange(temp.fd, -1)) != 0) {
                // The target did not exist before, so taking the name back restores what was there.
                const int error = errno;
                ::unlink(targetPath.c_str());
                return Failure("cannot write", targetPath, error);
            }
            resolver_.noteAdded(folder, LastComponent(targetPath));
            return {true, {}};
        }
        // Made ahead, where every copy is an unnamed file: it needs a name to
        // take the target's place, and the one temporary name a run may leave
        // is this one, so a kept file goes first. The old target is renamed
        // over rather than kept, which also has ext4 write the new data first.
        release();
        temp.path = LinkTemporaryIn(temp.fd, folder);
        if (temp.path.empty()) return fail("cannot create a file in");
    }
    if (::close(std::exchange(temp.fd, -1)) != 0) return fail("cannot write");

    if (beforeReplace) beforeReplace();
    if (!replace(temp, targetPath, reusable)) return fail("cannot replace");
    resolver_.noteAdded(folder, LastComponent(targetPath));
    return {true, {}};
}

void FileCopier::drop(Temporary& temp) {
    if (temp.fd >= 0) ::close(std::exchange(temp.fd, -1));
    if (temp.path.empty()) return;
    ::unlink(temp.path.c_str());
    temp.path.clear();
}

std::optional<FileCopier::Temporary> FileCopier::prepare(std::size_t index, Worker& worker) {
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
    Temporary temp = Fresh(openUnnamed_(aheadTargetFolder_, mode), {}, aheadTargetFolder_, mode);
    if (temp.fd < 0 || Fill(worker.data, in, st, source, SourceDosAttrib(in, st, listed), planned.to, temp)) {
        drop(temp);
        return std::nullopt;
    }
    return temp;
}

std::optional<CopyResult> FileCopier::commit(Temporary& prepared, const std::string& to,
                                             const std::function<void()>& beforeReplace) {
    const CaseResolver::Entry target = resolver_.resolve(to);
    if (ParentFolder(target.path) != prepared.folder) {
        drop(prepared);
        return std::nullopt;
    }
    if (std::optional<CopyResult> refusal = Refusal(target)) {
        drop(prepared);
        return refusal;
    }
    return place(prepared, target, beforeReplace);
}

FileCopier::Temporary FileCopier::takeTemporary(const std::string& folder, mode_t mode, bool forNewTarget) {
    if (kept_.present && kept_.folder == folder) {
        const Kept kept = std::exchange(kept_, {});
        Temporary temp;
        if (ReopenKept(kept, temp)) return temp;
        // Not ours to write: only our name for it goes.
        ::unlink(kept.path.c_str());
    }
    release();  // a temporary kept in another folder is not needed any more
    if (forNewTarget && noUnnamed_ != folder && ProcessFdsAreLinkable()) {
        // A new target needs no exchange: an unnamed file costs one name
        // creation instead of two, and a kill leaves nothing behind at all.
        const int fd = openUnnamed_(folder, mode);
        if (fd >= 0) return Fresh(fd, {}, folder, mode);
        if (IsUnsupported(errno) || errno == EISDIR) noUnnamed_ = folder;
    }
    TemporaryFile created = CreateTemporaryIn(folder, mode);
    Temporary temp = Fresh(created.fd, std::move(created.path), folder, mode);
    errno = created.error;
    return temp;
}

FileCopier::Temporary FileCopier::Fresh(int fd, std::string path, const std::string& folder, mode_t mode) {
    Temporary temp;
    temp.fd = fd;
    temp.path = std::move(path);
    temp.folder = folder;
    temp.mode = mode & ~ProcessUmask();  // as the file was created, under the umask
    return temp;
}

bool FileCopier::ReopenKept(const Kept& kept, Temporary& temp) {
    // Opened without following a link and without waiting (a pipe put there
    // meanwhile), then checked through the descriptor itself: the file may have
    // been changed, linked or swapped since the exchange, and this is the last
    // look before it is written.
    const int fd = ::open(kept.path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool same = ::fstat(fd, &st) == 0 && st.st_dev == kept.device && st.st_ino == kept.inode;
    const AttributeNames names = same && MayReuse(st) ? AttributeNamesOf(fd) : AttributeNames{true, false};
    if (names.foreign || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    temp.fd = fd;
    temp.path = kept.path;
    temp.folder = kept.folder;
    temp.mode = st.st_mode & 07777;
    temp.carriesDosAttrib = names.dosAttrib;
    return true;
}

bool FileCopier::replace(const Temporary& temp, const std::string& targetPath, const struct stat* reusable) {
    if (reusable && noExchange_ != reusable->st_dev) {
        if (exchange_(temp.path, targetPath) == 0) {
            // Unlike a rename, an exchange also takes a folder put at the
            // target's name since it was examined, and would hide it under the
            // temporary name: it is put back, and the copy fails as over any folder.
            struct stat swapped {};
            if (::lstat(temp.path.c_str(), &swapped) == 0 && S_ISDIR(swapped.st_mode)) {
                if (exchange_(temp.path, targetPath) == 0) errno = EISDIR;
                return false;
            }
            kept_ = {temp.path, temp.folder, reusable->st_dev, reusable->st_ino, true};
            return true;
        }
        // File systems that cannot exchange say so with EINVAL (old kernels with ENOSYS): rename there.
        if (errno != EINVAL && errno != ENOSYS) return false;
        noExchange_ = reusable->st_dev;
    }
    return ::rename(temp.path.c_str(), targetPath.c_str()) == 0;
}

bool FileCopier::DataCopier::copy(int in, int out, const struct stat& source, const std::string& targetFolder) {
    if (source.st_size == 0) return copyByReadWrite(in, out);  // may be a file whose size stat does not know

    if (!noClone.matches(source.st_dev, targetFolder)) {
        if (::ioctl(out, FICLONE, in) == 0) return true;
        if (IsUnsupported(errno)) noClone = {source.st_dev, targetFolder, true};
    }

    if (!noCopyRange.matches(source.st_dev, targetFolder)) {
        off_t copied = 0;
        while (copied < source.st_size) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kCopyRangeChunk, 0);
            if (n > 0) {
                copied += n;
                continue;
            }
            if (n == 0) break;  // the file ended before its stat size, or this file system copies nothing
            if (errno == EINTR) continue;
            if (copied == 0 && IsUnsupported(errno)) {
                noCopyRange = {source.st_dev, targetFolder, true};
                break;
            }
            return false;
        }
        if (copied > 0) return true;
    }
    return copyByReadWrite(in, out);
}

bool FileCopier::DataCopier::copyByReadWrite(int in, int out) {
    if (buffer.empty()) buffer.resize(kBufferSize);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += put;
        }
    }
}

}  // namespace vrx
