// Hostile files fed to the readers of outside data, one row each: the
// outcome is the message the user would see or the sound behaviour, never a
// crash or a hang, and the reading process's peak resident size stays within
// a fixed multiple of the file's size. Each row runs in a child process
// (vrx_hostile_reader) so that getrusage gives the peak of that read alone;
// the figures are printed with every row.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace vrx {
namespace {

using test::ListNames;
using test::MakeDirs;
using test::ReadFile;
using test::WriteFile;

#if defined(__SANITIZE_ADDRESS__)
#define VRX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VRX_ADDRESS_SANITIZER 1
#endif
#endif
// Peak resident size may grow by this multiple of the file's size over what
// the same read of a small file needs, plus allocator and page slack.
#ifdef VRX_ADDRESS_SANITIZER
// AddressSanitizer's shadow adds one byte for every eight the program touches,
// so the same reads show an eighth more: 8 becomes 9.
constexpr std::int64_t kSizeMultiple = 9;
// AddressSanitizer's allocator maps a region for every size class a program
// first uses, so reads that allocate differently differ by a few MiB more.
constexpr std::int64_t kSlackKiB = 6144;
#else
constexpr std::int64_t kSizeMultiple = 8;
constexpr std::int64_t kSlackKiB = 2048;
#endif
constexpr auto kHangLimit = std::chrono::seconds(120);

const std::string kFailure =
    "Error copying backup files (not all files were copied)! You may want to try the Read-Only fix in the Settings "
    "screen, or make sure the backup folder specified in the Settings screen exists.";

struct ChildRun {
    std::string output;
    std::int64_t peakKiB = 0;
    bool hung = false;
    int status = 0;
};

// Runs the reader with args and waits for it, killing it after kHangLimit.
ChildRun RunDirect(const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        // Under AddressSanitizer, freed blocks are held back to catch use after
        // free; a small hold keeps the peak about the read, not the sanitizer.
        ::setenv("ASAN_OPTIONS", "quarantine_size_mb=1", 1);
        std::vector<char*> argv;
        std::string program = VRX_HOSTILE_READER;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, 1000);
        if (ready > 0) {
            char buffer[4096];
            const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
            if (got <= 0) break;
            run.output.append(buffer, static_cast<std::size_t>(got));
        }
        if (std::chrono::steady_clock::now() - start > kHangLimit) {
            run.hung = true;
            ::kill(pid, SIGKILL);
            break;
        }
    }
    ::close(pipeFds[0]);
    rusage usage{};
    ::wait4(pid, &run.status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;  // kilobytes on Linux
    while (!run.output.empty() && run.output.back() == '\n') run.output.pop_back();
    return run;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = ::write(fd, p, size);
        if (done <= 0) return false;
        p += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool ReadAll(int fd, void* data, std::size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t done = ::read(fd, p, size);
        if (done <= 0) return false;
        p += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool WriteText(int fd, const std::string& text) {
    const auto size = static_cast<std::uint64_t>(text.size());
    return WriteAll(fd, &size, sizeof size) && WriteAll(fd, text.data(), text.size());
}

bool ReadText(int fd, std::string& text) {
    std::uint64_t size = 0;
    if (!ReadAll(fd, &size, sizeof size)) return false;
    text.resize(size);
    return ReadAll(fd, text.data(), text.size());
}

// A child starts as a copy of its parent, and Linux counts that copy's
// resident size in the child's peak even after exec. So the readers are
// started by a small process forked before the test has allocated anything:
// their peaks are then their own, plus this small start.
class Spawner {
public:
    static Spawner& Instance() {
        static Spawner spawner;
        return spawner;
    }

    ChildRun Run(const std::vector<std::string>& args) {
        ChildRun run;
        bool ok = WriteAll(request_, "R", 1);
        const auto count = static_cast<std::uint64_t>(args.size());
        ok = ok && WriteAll(request_, &count, sizeof count);
        for (const auto& arg : args) ok = ok && WriteText(request_, arg);
        std::int64_t fields[3] = {};
        ok = ok && ReadAll(reply_, fields, sizeof fields) && ReadText(reply_, run.output);
        if (!ok) ADD_FAILURE() << "the spawner process is gone";
        run.hung = fields[0] != 0;
        run.status = static_cast<int>(fields[1]);
        run.peakKiB = fields[2];
        return run;
    }

private:
    Spawner() {
        int requests[2];
        int replies[2];
        if (::pipe(requests) != 0 || ::pipe(replies) != 0) std::abort();
        if (::fork() == 0) {
            ::close(requests[1]);
            ::close(replies[0]);
            Serve(requests[0], replies[1]);
        }
        ::close(requests[0]);
        ::close(replies[1]);
        request_ = requests[1];
        reply_ = replies[0];
    }

    [[noreturn]] static void Serve(int requests, int replies) {
        char tag = 0;
        while (ReadAll(requests, &tag, 1)) {
            std::uint64_t count = 0;
            if (!ReadAll(requests, &count, sizeof count)) break;
            std::vector<std::string> args(count);
            for (auto& arg : args) {
                if (!ReadText(requests, arg)) ::_exit(1);
            }
            const ChildRun run = RunDirect(args);
            const std::int64_t fields[3] = {run.hung ? 1 : 0, run.status, run.peakKiB};
            if (!WriteAll(replies, fields, sizeof fields) || !WriteText(replies, run.output)) break;
        }
        ::_exit(0);  // no test teardown, no leak check: this process only relays
    }

    int request_ = -1;
    int reply_ = -1;
};

// Forked while this process is still small, before any test runs.
[[maybe_unused]] const bool kSpawnerStarted = (Spawner::Instance(), true);

ChildRun RunReader(const std::vector<std::string>& args) {
    return Spawner::Instance().Run(args);
}

// Bytes that look like nothing: a fixed pseudo-random sequence.
std::string Garbage(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242u;
    for (char& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state & 0xFF);
    }
    return bytes;
}

constexpr std::size_t kFiftyMB = 50u * 1024 * 1024;

enum class Reader { Settings, Growing, Catalogue, BackupCreate, BackupRestore, Copy };

struct Row {
    const char* name;
    Reader reader;
    std::string file;  // the hostile file, relative to the row's folder
    std::function<std::string()> bytes;
    std::string expected;  // the reader's whole output line
    // Files of the row's folder afterwards, each with its bytes; "outside/a.bmp"
    // and "fsx/outside/a.bmp" are always checked to be untouched.
    std::map<std::string, std::string> filesAfter;
};

// The add-on, a simulator with two texture folders, a backup folder and a folder beside them.
void LayOut(const test::TempDir& root) {
    for (const char* folder : {"app/Area1", "app/Media", "fsx/Texture", "fsx/outside", "backup", "outside"}) {
        MakeDirs(root / folder);
    }
    WriteFile(root / "fsx/Texture/a.bmp", "sim a");
    WriteFile(root / "fsx/Texture/B.bmp", "sim B");
    WriteFile(root / "fsx/outside/a.bmp", "sim outside a");
    WriteFile(root / "backup/a.bmp", "backup a");
    WriteFile(root / "outside/a.bmp", "outside a");
}

std::vector<std::string> Arguments(Reader reader, const test::TempDir& root) {
    switch (reader) {
        case Reader::Settings:
            return {"settings", root / "app/settings.cfg"};
        case Reader::Growing:
            return {"growing-settings", root / "app/settings.cfg"};
        case Reader::Catalogue:
            return {"catalogue", root / "app"};
        case Reader::BackupCreate:
            return {"backup", root / "app", root / "fsx/Texture", root / "backup", "create"};
        case Reader::BackupRestore:
            return {"backup", root / "app", root / "backup", root / "fsx/Texture", "restore"};
        case Reader::Copy:
            return {"copy", root / "app/Area1", root / "fsx/Texture"};
    }
    return {};
}

// The peak of the same reader over a small ordinary file: what the bound adds to.
std::int64_t BaselineKiB(Reader reader) {
    static std::map<Reader, std::int64_t> baselines;
    if (const auto found = baselines.find(reader); found != baselines.end()) return found->second;
    test::TempDir root;
    LayOut(root);
    WriteFile(root / "app/settings.cfg", "FSPath=/sim\r\n");
    WriteFile(root / "app/vrx.cfg", "1\r\n0|Area|Area1|p.bmp||Texture|d\r\n//backups\r\nTexture\r\n");
    WriteFile(root / "app/backup.lst", "2\r\na.bmp\r\nend\r\n");
    WriteFile(root / "app/Area1/x.bmp", "x");
    const ChildRun run = RunReader(Arguments(reader, root));
    return baselines[reader] = run.peakKiB;
}

std::string Lines(std::size_t count, const std::function<std::string(std::size_t)>& line) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += line(i) + "\r\n";
    return text;
}

const std::string kSettingsFile = "app/settings.cfg";
const std::string kCatalogueFile = "app/vrx.cfg";
const std::string kListFile = "app/backup.lst";
const std::string kUntouchedBackup = "backup a";

std::vector<Row> Rows() {
    const std::string failed = "messages=1 [" + kFailure + "] open=0";
    return {
        // Binary garbage.
        {"binary garbage as settings.cfg",
         Reader::Settings,
         kSettingsFile,
         [] { return Garbage(1 << 20); },
         "opened=1048576 pairs=1005 fspath= backuppath= readoverwrite=0 saved=1 savedpairs=1",
         {}},
        {"binary garbage as the catalogue",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return Garbage(1 << 20); },
         "corrupted",
         {}},
        {"binary garbage as backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return Garbage(1 << 20); },
         failed,
         {{"backup/a.bmp", kUntouchedBackup}}},

        // NUL bytes: text like any other, never the end of a line or a file.
        {"NUL bytes in settings.cfg",
         Reader::Settings,
         kSettingsFile,
         [] { return std::string("fspath=/sim\r\n\0\0\0\r\nbackup\0path=/x\r\nbackuppath=/bak\0up\r\n\0=\0\r\n", 59); },
         "opened=59 pairs=4 fspath=/sim backuppath=/bak\\x00up readoverwrite=0 saved=1 savedpairs=3",
         {}},
        {"NUL bytes in the catalogue",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("1\r\n0|Na\0me|Area1|p\0.bmp||Texture|d\0\r\n//backups\r\nTexture\0\r\n", 58); },
         "loaded areas=1 name=Na\\x00me source=Area1 target=Texture description=d\\x00 folder=Texture\\x00 "
         "preview=/Media/p\\x00.bmp",
         {}},
        {"NUL bytes in backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return std::string("3\r\na.bmp\r\n\0\0\0\r\nend\r\n", 20); },
         "messages=0 open=0",
         {{"backup/a.bmp", "sim a"}}},

        // A single 50 MB line.
        {"a 50 MB line in settings.cfg",
         Reader::Settings,
         kSettingsFile,
         [] { return "fspath=/sim\r\n" + std::string(kFiftyMB, 'x'); },
         "opened=52428813 pairs=1 fspath=/sim backuppath= readoverwrite=0 saved=1 savedpairs=2",
         {}},
        {"a 50 MB description in the catalogue",
         Reader::Catalogue,
         kCatalogueFile,
         [] {
             return "1\r\n0|Area|Area1|p.bmp||Texture|" + std::string(kFiftyMB, 'x') + "\r\n//backups\r\nTexture\r\n";
         },
         "loaded areas=1 name=Area source=Area1 target=Texture description=xxxxxxxxxxxxxxxx...(52428800 bytes) "
         "folder=Texture preview=/Media/p.bmp",
         {}},
        {"a 50 MB entry in backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return "3\r\na.bmp\r\n" + std::string(kFiftyMB, 'x') + "\r\nend\r\n"; },
         "messages=0 open=0",
         {{"backup/a.bmp", "sim a"}}},

        // Count lines out of range.
        {"count 2147483648 in backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return std::string("2147483648\r\na.bmp\r\nend\r\n"); },
         failed,
         {{"backup/a.bmp", kUntouchedBackup}}},
        {"count 2147483648 in the catalogue",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("2147483648\r\n0|Area|Area1|p.bmp||Texture|d\r\n//backups\r\n"); },
         "corrupted",
         {}},
        {"count -5 in backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return std::string("-5\r\na.bmp\r\nB.bmp\r\n"); },
         failed,
         {{"backup/a.bmp", "sim a"}, {"backup/B.bmp", "sim B"}}},
        {"count -5 in the catalogue",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("-5\r\n0|Area|Area1|p.bmp||Texture|d\r\n//backups\r\n"); },
         "corrupted",
         {}},

        // Line ends: CR alone ends a line, LF alone does not.
        {"CR-only settings.cfg",
         Reader::Settings,
         kSettingsFile,
         [] { return std::string("FSPath=/sim\rBackupPath=/bak\rReadOverwrite=1\r"); },
         "opened=44 pairs=3 fspath=/sim backuppath=/bak readoverwrite=1 saved=1 savedpairs=3",
         {}},
        {"CR-only catalogue",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("1\r0|Area|Area1|p.bmp||Texture|d\r//backups\rTexture\r//end\r"); },
         "loaded areas=1 name=Area source=Area1 target=Texture description=d folder=Texture preview=/Media/p.bmp",
         {}},
        {"CR-only backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return std::string("2\ra.bmp\rend\r"); },
         "messages=0 open=0",
         {{"backup/a.bmp", "sim a"}}},
        {"LF-only settings.cfg",
         Reader::Settings,
         kSettingsFile,
         [] { return std::string("FSPath=/sim\nBackupPath=/bak\n"); },
         "opened=28 pairs=0 fspath= backuppath= readoverwrite=0 saved=1 savedpairs=1",
         {}},
        {"LF-only catalogue",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("1\n0|Area|Area1|p.bmp||Texture|d\n//backups\nTexture\n"); },
         "corrupted",
         {}},
        {"LF-only backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return std::string("2\na.bmp\nend\n"); },
         failed,
         {{"backup/a.bmp", kUntouchedBackup}}},

        // A file name that is not UTF-8 (Latin-1 "café.bmp"): copied under its
        // exact bytes; the caption carries them, and the window shows U+FFFD.
        {"a file name that is not UTF-8",
         Reader::Copy,
         "app/Area1/caf\xE9.bmp",
         [] { return std::string("latin-1 named texture"); },
         "messages=0 captions=/caf\\xE9.bmp;",
         {{"fsx/Texture/caf\xE9.bmp", "latin-1 named texture"}}},

        // ".." in the backup list and in each path field of the catalogue.
        {"\"..\" in backup.lst, create",
         Reader::BackupCreate,
         kListFile,
         [] { return std::string("3\r\na.bmp\r\n..\\outside\\a.bmp\r\nend\r\n"); },
         failed,
         {{"backup/a.bmp", "sim a"}}},
        {"\"..\" in backup.lst, restore",
         Reader::BackupRestore,
         kListFile,
         [] { return std::string("3\r\n../outside/a.bmp\r\na.bmp\r\nend\r\n"); },
         failed,
         {{"fsx/Texture/a.bmp", "sim a"}}},
        {"\"..\" in the source folder field",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("1\r\n0|Area|..\\Area1|p.bmp||Texture|d\r\n//backups\r\nTexture\r\n"); },
         "corrupted",
         {}},
        {"\"..\" in the preview field",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("1\r\n0|Area|Area1|../../secret.bmp||Texture|d\r\n//backups\r\nTexture\r\n"); },
         "loaded areas=1 name=Area source=Area1 target=Texture description=d folder=Texture preview=refused",
         {}},
        {"\"..\" in the target folder field",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("1\r\n0|Area|Area1|p.bmp||..\\..\\outside|d\r\n//backups\r\nTexture\r\n"); },
         "corrupted",
         {}},
        {"\"..\" in a backup folder line",
         Reader::Catalogue,
         kCatalogueFile,
         [] { return std::string("1\r\n0|Area|Area1|p.bmp||Texture|d\r\n//backups\r\nTexture\\..\\..\r\n"); },
         "corrupted",
         {}},

        {"an empty backup.lst",
         Reader::BackupCreate,
         kListFile,
         [] { return std::string(); },
         failed,
         {{"backup/a.bmp", kUntouchedBackup}}},

        {"10,000 duplicate keys in settings.cfg",
         Reader::Settings,
         kSettingsFile,
         [] {
             return Lines(10000,
                          [](std::size_t i) { return (i % 2 ? "FSPATH=/sim" : "fspath=/sim") + std::to_string(i); });
         },
         "opened=168890 pairs=10000 fspath=/sim0 backuppath= readoverwrite=0 saved=1 savedpairs=2",
         {}},

        // Another program appends to the file for as long as it is read.
        {"settings.cfg growing while it is read",
         Reader::Growing,
         kSettingsFile,
         [] { return "fspath=/sim\r\n" + Lines(1000, [](std::size_t i) { return "k" + std::to_string(i) + "=v"; }); },
         "opened=7903 pairs=1001 fspath=/sim backuppath= readoverwrite=0 saved=1 savedpairs=2",
         {}},
    };
}

TEST(HostileFiles, EachRowGivesItsOutcomeWithinBoundedMemory) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        test::TempDir root;
        LayOut(root);
        std::int64_t size = 0;
        {
            // Not kept while the child runs: the child starts as a copy of this process.
            const std::string bytes = row.bytes();
            size = static_cast<std::int64_t>(bytes.size());
            WriteFile(root / row.file, bytes);
        }
        const ChildRun run = RunReader(Arguments(row.reader, root));
        ASSERT_FALSE(run.hung) << "no answer within " << kHangLimit.count() << " s";
        ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << "the reader crashed: " << run.status;
        EXPECT_EQ(run.output, row.expected);

        const std::int64_t bound = BaselineKiB(row.reader) + kSizeMultiple * size / 1024 + kSlackKiB;
        std::cout << "[hostile] " << row.name << ": " << size << " bytes, peak RSS " << run.peakKiB << " KiB (baseline "
                  << BaselineKiB(row.reader) << " KiB, bound " << bound << " KiB)\n";
        EXPECT_LE(run.peakKiB, bound);

        EXPECT_EQ(ReadFile(root / "outside/a.bmp"), "outside a");
        EXPECT_EQ(ListNames(root / "outside"), std::vector<std::string>{"a.bmp"});
        EXPECT_EQ(ReadFile(root / "fsx/outside/a.bmp"), "sim outside a");
        EXPECT_EQ(ListNames(root / "fsx/outside"), std::vector<std::string>{"a.bmp"});
        EXPECT_EQ(ListNames(root.path()).size(), 4u);  // app, backup, fsx, outside: nothing new beside them
        for (const auto& [path, content] : row.filesAfter) {
            ASSERT_TRUE(test::PathExists(root / path)) << path;
            EXPECT_EQ(ReadFile(root / path), content) << path;
        }
    }
}

}  // namespace
}  // namespace vrx
