#include "BareExchangeCopy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

namespace vrx::bench {
namespace {

[[noreturn]] void Fail(const char* what, const std::string& name) {
    std::perror((std::string("exchange copy: ") + what + " " + name).c_str());
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

// A copy written into temporary slot, waiting for its exchange with name.
struct Unplaced {
    int fd;
    std::string name;
    std::size_t slot;
};

// slots temporaries in turn; a written-over copy is exchanged once slots - 1 later ones are written.
void ExchangeCopy(const std::string& sourceFolder, const std::string& targetFolder, bool writeOver) {
    const std::size_t slots = writeOver ? 2 : 1;
    const int sources = ::open(sourceFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int targets = ::open(targetFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (sources < 0 || targets < 0) Fail("cannot open", sourceFolder + " or " + targetFolder);
    std::vector<std::string> temporaries;
    for (std::size_t i = 0; i < slots; ++i) temporaries.push_back(".exchange-copy-" + std::to_string(i) + ".tmp");
    std::vector<bool> kept(slots, false);
    std::deque<Unplaced> unplaced;
    auto place = [&] {
        const Unplaced copy = unplaced.front();
        unplaced.pop_front();
        constexpr unsigned kWait = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
        if (writeOver && ::sync_file_range(copy.fd, 0, 0, kWait) != 0) Fail("cannot wait for", copy.name);
        ::close(copy.fd);
        if (::renameat2(targets, temporaries[copy.slot].c_str(), targets, copy.name.c_str(), RENAME_EXCHANGE) != 0)
            Fail("cannot exchange", copy.name);
        kept[copy.slot] = true;
    };
    std::size_t slot = 0;
    for (const std::string& name : ListedNames(sourceFolder)) {
        const int in = ::openat(sources, name.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (in < 0 || ::fstat(in, &st) != 0) Fail("cannot open", name);
        const char* temporary = temporaries[slot].c_str();
        const int out = kept[slot] ? ::openat(targets, temporary, O_WRONLY | O_CLOEXEC)
                                   : ::openat(targets, temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (out < 0 || (kept[slot] && !writeOver && ::ftruncate(out, 0) != 0)) Fail("cannot reuse", temporary);
        for (off_t copied = 0; copied < st.st_size;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(st.st_size), 0);
            if (n <= 0) Fail("cannot copy", name);
            copied += n;
        }
        const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
        if ((writeOver && ::ftruncate(out, st.st_size) != 0) || ::futimens(out, times) != 0 ||
            ::sync_file_range(out, 0, 0, SYNC_FILE_RANGE_WRITE) != 0) {
            Fail("cannot finish", name);
        }
        ::close(in);
        unplaced.push_back({out, name, slot});
        slot = (slot + 1) % slots;
        if (unplaced.size() == slots) place();
    }
    while (!unplaced.empty()) place();
    for (std::size_t i = 0; i < slots; ++i) {
        if (kept[i]) ::unlinkat(targets, temporaries[i].c_str(), 0);
    }
    ::close(sources);
    ::close(targets);
}

}  // namespace

void BareExchangeCopy(const std::string& sourceFolder, const std::string& targetFolder) {
    ExchangeCopy(sourceFolder, targetFolder, false);
}

void WrittenOverExchangeCopy(const std::string& sourceFolder, const std::string& targetFolder) {
    ExchangeCopy(sourceFolder, targetFolder, true);
}

}  // namespace vrx::bench
