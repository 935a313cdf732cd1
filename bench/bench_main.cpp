// Times the install and backup engines against cp and rsync on the same data,
// in one run, and prints one line per case and reference tool: the median
// time of each side and of their ratio, with the lowest and highest beside it,
// then the same lines for the time until the data was on the disk (sync) and
// for the processor time used:
//   install-small: ours 1.23 (1.10-1.40) s, cp -p -f 1.20 (1.15-1.30) s, ratio 1.03 (0.95-1.12) over 5 rounds
// and, for the installs, how long finding the target folder without regard
// to case took, and its share of ours' run.
// Usage: vrx_bench [--rounds N] [--ours-only] [--stop-around-ours] [--reflink] [folder for the data] [one case]
// --reflink, for a folder on a file system whose files can share data (XFS
// with reflink): cp is run as cp --reflink=always, so that both sides share
// the data rather than write it, and a line more per case gives the free
// space each side's run took.
// The status window is a stand-in that draws nothing and skips the completion
// pause, so that only the engines' own work and the copying are measured.

#include <sys/resource.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "BareExchangeCopy.h"
#include "BenchData.h"
#include "StandIns.h"
#include "backup/BackupEngine.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "history/History.h"
#include "install/InstallCommand.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/linux/FileSizeSignal.h"
#include "platform/linux/LinuxFileSystem.h"
#include "progress/StatusView.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"

namespace {

using namespace vrx;
using namespace vrx::bench;

struct Engines {
    LinuxFileSystem fs;
    FailOnPrompt prompts;
    SilentStatusView view;
    StatusWindow status{view, prompts};
    SystemClock clock;
    EzCfg cfg{fs};
    AppSettings settings;
    History history;
    Session session;

    explicit Engines(const std::string& appFolder)
        : history(fs, clock, appFolder), session{fs,  prompts,  status,    history,
                                                 cfg, settings, appFolder, SettingsFilePathFor(appFolder)} {}
};

// Lets the disk settle before a timed run: nothing of earlier writes, removals
// or set-up may be written back while the run is timed. The sources are read
// once more so that every run finds them in the page cache, whatever the runs
// and set-up before it pushed out.
void Settle(const std::string& sourceFolder) {
    Shell("cat '" + sourceFolder + "'/* > /dev/null");
    Shell("sync");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Shell("sync");
}

// How long a run took, and how long until its data was on the disk: cp
// leaves its writes in the page cache when it returns, while a crash-safe copy
// starts them itself, so both are shown. The processor time (user and
// system, of this process and of the tools it ran) moves less with the
// machine's load than the times do, but misses the write-back the kernel does
// later on its own threads, which favours cp.
struct Timing {
    double run;
    double onDisk;
    double processor;
    double spaceTaken;  // bytes of free space the run took, once on the disk (negative: it freed space)
};

// Free bytes of the file system holding folder.
double FreeBytes(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return 0;
    return static_cast<double>(info.f_bfree) * static_cast<double>(info.f_frsize);
}

// Processor time used so far by this process and by the children it has waited for.
double ProcessorSeconds() {
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    rusage self{};
    rusage children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) + seconds(children.ru_stime);
}

// Times work on a settled disk; with stop, the process stops itself (SIGSTOP)
// just before and just after, so that a tracer sees only the work.
Timing Time(const std::string& sourceFolder, const std::function<void()>& work, bool stop) {
    Settle(sourceFolder);
    const double freeBefore = FreeBytes(sourceFolder);
    if (stop) raise(SIGSTOP);
    const double processorBefore = ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto done = std::chrono::steady_clock::now();
    const double processor = ProcessorSeconds() - processorBefore;
    if (stop) raise(SIGSTOP);
    ::sync();
    const auto synced = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(done - start).count(), std::chrono::duration<double>(synced - start).count(),
            processor, freeBefore - FreeBytes(sourceFolder)};
}

struct Options {
    std::string only;             // one case, or all when empty
    int rounds = 0;               // 0: each case's own number
    bool oursOnly = false;        // no reference tools: for strace and callgrind
    bool stopAroundOurs = false;  // SIGSTOP before and after each run of ours, for a tracer
    bool reflink = false;         // cp shares data (--reflink=always); the space taken is reported
};

// cp with the given options, sharing data where the run asks for that.
std::string Cp(const Options& options, const std::string& flags) {
    return options.reflink ? "cp --reflink=always " + flags : "cp " + flags;
}

// One tool under test: ours (always first) or a reference.
struct Contender {
    Contender(std::string who, std::function<void()> work) : name(std::move(who)), run(std::move(work)) {}
    std::string name;
    std::function<void()> run;
    std::vector<double> times;
    std::vector<double> onDisk;
    std::vector<double> processor;
    std::vector<double> space;
};

// Runs rounds of the contenders in turn, each round in another order so that
// none always follows the same one's writes; setUp lays down fresh data
// before each round and check looks at ours afterwards.
void RunRounds(const Options& options, int rounds, const std::string& sourceFolder, std::vector<Contender>& contenders,
               const std::function<void()>& setUp, const std::function<void()>& check) {
    if (options.oursOnly) contenders.erase(contenders.begin() + 1, contenders.end());
    std::vector<std::size_t> order(contenders.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::vector<std::vector<std::size_t>> orders;
    do orders.push_back(order);
    while (std::next_permutation(order.begin(), order.end()));
    // Each contender first, then each one last, before the remaining orders.
    std::stable_partition(orders.begin(), orders.end(),
                          [&](const auto& o) { return o.size() < 3 || o[1] == (o[0] + 1) % o.size(); });
    for (int round = 0; round < rounds; ++round) {
        setUp();
        for (const std::size_t i : orders[static_cast<std::size_t>(round) % orders.size()]) {
            const Timing timing = Time(sourceFolder, contenders[i].run, i == 0 && options.stopAroundOurs);
            contenders[i].times.push_back(timing.run);
            contenders[i].onDisk.push_back(timing.onDisk);
            contenders[i].processor.push_back(timing.processor);
            contenders[i].space.push_back(timing.spaceTaken);
        }
        check();
    }
}

std::string Spread(std::vector<double> v, double unit = 1, int decimals = 2) {
    for (double& x : v) x /= unit;
    std::sort(v.begin(), v.end());
    const double median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f (%.*f-%.*f)", decimals, median, decimals, v.front(), decimals, v.back());
    return text;
}

// "name (space): ours 0.01 (0.00-0.02) MiB, cp --reflink=always -p 0.01 (...) MiB of 312.50 MiB copied": the
// free space each side's run took, once on the disk; negative where replaced files gave back more than it took.
void ReportSpace(const std::string& name, const std::vector<Contender>& contenders, double copiedBytes) {
    constexpr double kMiB = 1024.0 * 1024.0;
    std::printf("%s (space):", name.c_str());
    for (std::size_t i = 0; i < contenders.size(); ++i) {
        std::printf("%s %s %s MiB", i == 0 ? "" : ",", contenders[i].name.c_str(),
                    Spread(contenders[i].space, kMiB).c_str());
    }
    std::printf(" of %.2f MiB copied\n", copiedBytes / kMiB);
    std::fflush(stdout);
}

// "name: ours 1.23 (1.10-1.40) s, cp 1.20 (1.15-1.30) s, ratio 1.03 (0.95-1.12) over 5 rounds": medians, then
// min-max over the rounds; the ratio is taken within each round.
void Report(const std::string& name, const std::vector<double>& ours, const std::string& otherName,
            const std::vector<double>& other, const char* oursName = "ours") {
    std::printf("%s: %s %s s", name.c_str(), oursName, Spread(ours).c_str());
    if (!other.empty()) {
        std::vector<double> ratios;
        for (std::size_t i = 0; i < ours.size() && i < other.size(); ++i) ratios.push_back(ours[i] / other[i]);
        std::printf(", %s %s s, ratio %s", otherName.c_str(), Spread(other).c_str(), Spread(ratios).c_str());
    }
    std::printf(" over %zu rounds\n", ours.size());
    std::fflush(stdout);
}

// One line against each reference tool, then the same until the data was on
// the disk, then the processor time.
void ReportAgainstEach(const std::string& name, const std::vector<Contender>& contenders) {
    const Contender& ours = contenders.front();
    if (contenders.size() == 1) {
        // --ours-only: ours alone, its time and its processor time.
        Report(name, ours.times, "", {});
        Report(name + " (processor)", ours.processor, "", {});
    }
    for (std::size_t i = 1; i < contenders.size(); ++i)
        Report(name, ours.times, contenders[i].name, contenders[i].times);
    for (std::size_t i = 1; i < contenders.size(); ++i) {
        Report(name + " (on disk)", ours.onDisk, contenders[i].name, contenders[i].onDisk);
    }
    for (std::size_t i = 1; i < contenders.size(); ++i) {
        Report(name + " (processor)", ours.processor, contenders[i].name, contenders[i].processor);
    }
}

void CheckSameFiles(const std::string& expectedFolder, const std::string& folder, std::size_t count) {
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        ++n;
    }
    if (n != count) {
        std::fprintf(stderr, "%s holds %zu files, expected %zu (compare %s)\n", folder.c_str(), n, count,
                     expectedFolder.c_str());
        std::exit(1);
    }
}

void ShellOrExit(const std::string& command) {
    if (!Shell(command)) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// How an install case lays down its targets and what it is set against.
enum class Targets {
    Fresh,           // into an empty folder, against cp -p
    Older,           // over older files of the same names, against cp -p -f and rsync -t
    OlderWithFloor,  // the same, and against cp in the listing order and the two bare exchanges
};

// The area names its target folder in other letters than the simulator's
// folder has on disk, as many an add-on does: the run finds it without regard
// to case, which cp, given the exact path, never has to. What that costs is
// timed on its own and reported on its own line.
constexpr const char* kAreaTargetFolder = "TEXTURE";

// "name (target folder resolution): ours 0.05 (0.04-0.07) ms, 0.01 % of ours' run over 5 rounds".
void ReportResolution(const std::string& name, const std::vector<double>& resolving, const std::vector<double>& ours) {
    std::vector<double> ms;
    std::vector<double> shares;
    for (std::size_t i = 0; i < resolving.size(); ++i) {
        ms.push_back(resolving[i] * 1e3);
        if (i < ours.size()) shares.push_back(100 * resolving[i] / ours[i]);
    }
    std::printf("%s (target folder resolution): ours %s ms, %s %% of ours' run over %zu rounds\n", name.c_str(),
                Spread(ms, 1, 3).c_str(), Spread(shares, 1, 3).c_str(), resolving.size());
    std::fflush(stdout);
}

// Installs count files of size bytes into the simulator's Texture folder.
void BenchInstall(const Options& options, const std::string& root, const char* name, std::size_t count,
                  std::size_t size, Targets targets, int rounds) {
    const bool fresh = targets == Targets::Fresh;
    const std::string app = root + "/app";
    const std::string source = app + "/Area1";
    const auto names = TextureNames(count);
    MakeFiles(source, names, size, 'n');
    const std::vector<SceneryArea> areas{{"Bench", "Area1", "", "", "", kAreaTargetFolder}};
    const OneCheckedRow rows;
    std::unique_ptr<Engines> engines;
    auto target = [&](const char* who) { return root + "/sim-" + who + "/Texture"; };
    // Each contender's own simulator folder.
    std::vector<const char*> simulators{"ours", "cp"};
    if (!fresh) simulators.push_back("rsync");
    if (targets == Targets::OlderWithFloor) simulators.insert(simulators.end(), {"cpu", "bare", "over"});

    std::vector<Contender> contenders;
    contenders.push_back({"ours", [&] { InstallSelectedAreas(engines->session, rows, areas); }});
    if (fresh) {
        contenders.push_back(
            {Cp(options, "-p"), [&] { ShellOrExit(Cp(options, "-p '") + source + "/'* '" + target("cp") + "/'"); }});
    } else {
        contenders.push_back({Cp(options, "-p -f"),
                              [&] { ShellOrExit(Cp(options, "-p -f '") + source + "/'* '" + target("cp") + "/'"); }});
        contenders.push_back(
            {"rsync -t", [&] { ShellOrExit("rsync -t '" + source + "/'* '" + target("rsync") + "/'"); }});
    }
    // Where the floor's yardsticks stand among the contenders.
    const std::size_t sameOrder = contenders.size();
    const std::size_t bare = sameOrder + 1;
    const std::size_t over = sameOrder + 2;
    if (targets == Targets::OlderWithFloor) {
        // cp in the order the folder lists its files, which is the order our
        // copies take (on ext4 it costs more than cp's name order); and the
        // least any crash-safe copy over existing files does, in that order too:
        // what the exchange itself costs against cp, and what our checks add.
        contenders.push_back({Cp(options, "-p -f") + ", listing order", [&] {
                                  ShellOrExit("cd '" + source + "' && ls -U | xargs -d '\\n' " +
                                              Cp(options, "-p -f -t '") + target("cpu") + "/'");
                              }});
        contenders.push_back({"bare exchange", [&] { BareExchangeCopy(source, target("bare")); }});
        // The same with each file written over an older one's blocks instead
        // of emptying it, its write-back waited for one file later.
        contenders.push_back({"written-over exchange", [&] { WrittenOverExchangeCopy(source, target("over")); }});
    }
    auto setUp = [&] {
        for (const char* who : simulators) {
            RemoveTree(root + "/sim-" + who);
            if (fresh) {
                std::filesystem::create_directories(target(who));
            } else {
                MakeOlderFiles(target(who), names, size, 'o');
            }
        }
        engines = std::make_unique<Engines>(app);
        engines->settings.fspath = root + "/sim-ours";
    };
    // After each round: the case-insensitive resolution of the target folder
    // as the run's first look at it makes it, with nothing remembered yet.
    std::vector<double> resolving;
    auto check = [&] {
        CheckSameFiles(source, target("ours"), count);
        LinuxFileSystem fresh;
        const auto start = std::chrono::steady_clock::now();
        const std::string found = fresh.resolve(root + "/sim-ours/" + kAreaTargetFolder);
        resolving.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (found != target("ours")) {
            std::fprintf(stderr, "the target folder resolved to %s\n", found.c_str());
            std::exit(1);
        }
    };
    RunRounds(options, rounds, source, contenders, setUp, check);
    for (const char* who : simulators) RemoveTree(root + "/sim-" + who);
    RemoveTree(app);
    ReportAgainstEach(name, contenders);
    if (options.reflink) ReportSpace(name, contenders, static_cast<double>(count) * static_cast<double>(size));
    ReportResolution(name, resolving, contenders.front().times);
    if (targets == Targets::OlderWithFloor && !options.oursOnly) {
        const Contender& inOrder = contenders[sameOrder];
        const Contender& floor = contenders[bare];
        Report(std::string(name) + " (floor)", floor.times, inOrder.name, inOrder.times, "bare exchange");
        Report(std::string(name) + " (floor, processor)", floor.processor, inOrder.name, inOrder.processor,
               "bare exchange");
        const Contender& writtenOver = contenders[over];
        Report(std::string(name) + " (floor)", writtenOver.times, inOrder.name, inOrder.times, "written-over exchange");
        Report(std::string(name) + " (floor, processor)", writtenOver.processor, inOrder.name, inOrder.processor,
               "written-over exchange");
    }
}

// Backs up a 10,000-entry list whose names differ in case from the files.
void BenchBackup(const Options& options, const std::string& root, std::size_t count, std::size_t size, int rounds) {
    const std::string app = root + "/app";
    const std::string source = root + "/sim/Texture";
    const auto names = TextureNames(count);
    const auto listed = UpperCased(names);
    MakeFiles(source, names, size, 's');
    std::filesystem::create_directories(app);
    {
        std::ofstream list(app + "/backup.lst", std::ios::binary);
        list << (count + 1) << "\r\n";
        for (const auto& n : listed) list << n << "\r\n";
        list << "end\r\n";
        std::ofstream files(root + "/files-from.txt", std::ios::binary);
        for (const auto& n : names) files << n << "\n";
    }
    std::unique_ptr<Engines> engines;
    std::vector<Contender> contenders;
    contenders.push_back({"ours", [&] { RunBackupFolderLoop(engines->session, BackupRun::CreateMain); }});
    contenders.push_back({"rsync -t", [&] {
                              ShellOrExit("rsync -t --files-from='" + root + "/files-from.txt' '" + source + "/' '" +
                                          root + "/backup-rsync/'");
                          }});
    if (options.reflink) {
        // What sharing the data costs at its least: cp in the list's order, each name at once.
        contenders.push_back({Cp(options, "-p"), [&] {
                                  ShellOrExit("cd '" + source + "' && xargs -d '\\n' " + Cp(options, "-p -t '") + root +
                                              "/backup-cp/' < '" + root + "/files-from.txt'");
                              }});
    }
    auto setUp = [&] {
        for (const char* who : {"/backup-ours", "/backup-rsync", "/backup-cp"}) {
            RemoveTree(root + who);
            std::filesystem::create_directories(root + who);
        }
        engines = std::make_unique<Engines>(app);
        engines->settings.fspath = root + "/sim";
        engines->settings.backuppath = root + "/backup-ours";
        engines->session.backupSourceFolders[0] = "Texture";
    };
    RunRounds(options, rounds, source, contenders, setUp,
              [&] { CheckSameFiles(source, root + "/backup-ours", count); });
    RemoveTree(root + "/backup-ours");
    RemoveTree(root + "/backup-rsync");
    RemoveTree(root + "/backup-cp");
    RemoveTree(root + "/sim");
    RemoveTree(app);
    ReportAgainstEach("backup-list", contenders);
    if (options.reflink) ReportSpace("backup-list", contenders, static_cast<double>(count) * static_cast<double>(size));
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit must fail the engines' writes, not kill the run silently.
    vrx::IgnoreFileSizeSignal();
    Options options;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) {
            options.rounds = std::atoi(argv[++i]);
        } else if (arg == "--ours-only") {
            options.oursOnly = true;
        } else if (arg == "--stop-around-ours") {
            options.stopAroundOurs = true;
        } else if (arg == "--reflink") {
            options.reflink = true;
        } else if (arg.starts_with("--")) {
            std::fprintf(
                stderr,
                "usage: vrx_bench [--rounds N] [--ours-only] [--stop-around-ours] [--reflink] [folder] [case]\n");
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    const std::string base = !positional.empty() ? positional[0] : std::filesystem::temp_directory_path().string();
    options.only = positional.size() > 1 ? positional[1] : "";
    std::string root = base + "/vrx-bench-XXXXXX";
    if (!mkdtemp(root.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    auto wanted = [&](const char* name) { return options.only.empty() || options.only == name; };
    auto rounds = [&](int own) { return options.rounds > 0 ? options.rounds : options.oursOnly ? 1 : own; };
    if (wanted("install-small")) {
        BenchInstall(options, root, "install-small", 5000, 64 * 1024, Targets::OlderWithFloor, rounds(5));
    }
    if (wanted("install-fresh")) {
        BenchInstall(options, root, "install-fresh", 5000, 64 * 1024, Targets::Fresh, rounds(5));
    }
    if (wanted("install-large")) {
        BenchInstall(options, root, "install-large", 200, 8 * 1024 * 1024, Targets::Older, rounds(4));
    }
    if (wanted("backup-list")) BenchBackup(options, root, 10000, 16 * 1024, rounds(5));
    RemoveTree(root);
    return 0;
}
