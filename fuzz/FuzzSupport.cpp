#include "FuzzSupport.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vrx::fuzz {

void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "==== property failed: %s (%s:%d)\n", condition, file, line);
    std::fflush(stderr);
    std::abort();
}

namespace {

std::string MakeScratch() {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/vrx-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) Fail("scratch folder created", __FILE__, __LINE__);
    return pattern;
}

struct Scratch {
    std::string path = MakeScratch();
    ~Scratch() { RemoveTree(path); }
};

}  // namespace

const std::string& ScratchFolder() {
    static const Scratch scratch;
    return scratch.path;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Fail("file written", path.c_str(), 0);
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) Fail("folder made", path.c_str(), 0);
}

void RemoveTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

namespace {

void Walk(const std::string& root, const std::string& relative, std::map<std::string, EntryState>& out) {
    const std::string folder = relative.empty() ? root : root + "/" + relative;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string rel = relative.empty() ? name : relative + "/" + name;
        const std::string full = root + "/" + rel;
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0) continue;
        EntryState state;
        state.mode = st.st_mode & 07777;
        char attrib[64];
        const ssize_t got = ::lgetxattr(full.c_str(), "user.DOSATTRIB", attrib, sizeof attrib);
        if (got > 0) state.dosAttrib.assign(attrib, static_cast<std::size_t>(got));
        if (S_ISREG(st.st_mode)) {
            state.kind = 'f';
            std::ifstream in(full, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            state.content = bytes.str();
        } else if (S_ISDIR(st.st_mode)) {
            state.kind = 'd';
        } else if (S_ISLNK(st.st_mode)) {
            state.kind = 'l';
            char target[4096];
            const ssize_t n = ::readlink(full.c_str(), target, sizeof target);
            if (n > 0) state.content.assign(target, static_cast<std::size_t>(n));
        } else {
            state.kind = 'o';
        }
        out[rel] = state;
        if (S_ISDIR(st.st_mode)) Walk(root, rel, out);
    }
    ::closedir(dir);
}

}  // namespace

std::map<std::string, EntryState> Snapshot(const std::string& root) {
    std::map<std::string, EntryState> entries;
    Walk(root, "", entries);
    return entries;
}

}  // namespace vrx::fuzz
