#include "BareExchangeCopy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vrx::bench {
namespace {

constexpr const char* kTemporary = ".bare-exchange.tmp";

[[noreturn]] void Fail(const char* what, const std::string& name) {
    std::perror((std::string("bare exchange copy: ") + what + " " + name).c_str());
    std::exit(1);
}

std::vector<std::string> ListedNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) Fail("cannot list", folder);
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

}  // namespace

void BareExchangeCopy(const std::string& sourceFolder, const std::string& targetFolder) {
    const int sources = ::open(sourceFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int targets = ::open(targetFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (sources < 0 || targets < 0) Fail("cannot open", sourceFolder + " or " + targetFolder);
    bool kept = false;
    for (const std::string& name : ListedNames(sourceFolder)) {
        const int in = ::openat(sources, name.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (in < 0 || ::fstat(in, &st) != 0) Fail("cannot open", name);
        const int out = kept ? ::openat(targets, kTemporary, O_WRONLY | O_CLOEXEC)
                             : ::openat(targets, kTemporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (out < 0 || (kept && ::ftruncate(out, 0) != 0)) Fail("cannot reuse", kTemporary);
        for (off_t copied = 0; copied < st.st_size;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(st.st_size), 0);
            if (n <= 0) Fail("cannot copy", name);
            copied += n;
        }
        const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
        if (::futimens(out, times) != 0 || ::sync_file_range(out, 0, 0, SYNC_FILE_RANGE_WRITE) != 0) {
            Fail("cannot finish", name);
        }
        ::close(out);
        ::close(in);
        if (::renameat2(targets, kTemporary, targets, name.c_str(), RENAME_EXCHANGE) != 0)
            Fail("cannot exchange", name);
        kept = true;
    }
    if (kept) ::unlinkat(targets, kTemporary, 0);
    ::close(sources);
    ::close(targets);
}

}  // namespace vrx::bench
