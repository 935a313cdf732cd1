// Times the install and backup engines against cp and rsync on the same data,
// in one run, and prints one line per case:
//   install-small: ours 1.23 s, cp 1.20 s, ratio 1.03
// Usage: vrx_bench [folder for the data] [one case]
// The status window is a stand-in that draws nothing and skips the completion
// pause, so that only the engines' own work and the copying are measured.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "BenchData.h"
#include "session/Session.h"
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

namespace {

using namespace vrx;
using namespace vrx::bench;

// Any message box during a benchmark means the engine failed.
class FailOnPrompt final : public Prompts {
public:
    void message(const std::string& text, const std::string&) override { fail(text); }
    bool askYesNo(const std::string& text, const std::string&) override { return fail(text); }
    bool askOkCancel(const std::string& text, const std::string&) override { return fail(text); }

private:
    static bool fail(const std::string& text) {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        std::exit(1);
    }
};

class SilentStatusView final : public StatusView {
public:
    void show() override {}
    void hide() override {}
    void setActionText(const std::string&) override {}
    void showBar(const ProgressBarModel&) override {}
    void processEvents() override {}
    void beep() override {}
    void pauseWithoutEvents(std::chrono::milliseconds) override {}
};

class OneCheckedRow final : public AreaChecks {
public:
    int RowCount() const override { return 1; }
    bool IsChecked(int) const override { return true; }
    std::string RowText(int) const override { return "Bench"; }
};

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
        : history(fs, clock, appFolder),
          session{fs, prompts, status, history, cfg, settings, appFolder, SettingsFilePathFor(appFolder)} {}
};

double Seconds(const std::function<void()>& work) {
    // Written-back data and freed blocks of the set-up must not be charged to the run.
    Shell("sync");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Shell("sync");
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Alternates which side goes first, so that neither always runs right after the other's writes.
void RunAlternated(int round, const std::function<void()>& ours, const std::function<void()>& theirs) {
    if (round % 2 == 0) {
        ours();
        theirs();
    } else {
        theirs();
        ours();
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Report(const char* name, const char* other, const std::vector<double>& ours, const std::vector<double>& theirs) {
    double a = Median(ours);
    double b = Median(theirs);
    std::printf("%s: ours %.2f s, %s %.2f s, ratio %.2f\n", name, a, other, b, a / b);
    std::fflush(stdout);
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

// Installs count files of size bytes over older files of the same names.
void BenchInstall(const std::string& root, const char* name, std::size_t count, std::size_t size, int rounds) {
    const std::string app = root + "/app";
    const auto names = TextureNames(count);
    MakeFiles(app + "/Area1", names, size, 'n');
    std::vector<SceneryArea> areas{{"Bench", "Area1", "", "", "", "Texture"}};
    std::vector<double> ours, cp;
    for (int round = 0; round < rounds; ++round) {
        RemoveTree(root + "/sim-ours");
        RemoveTree(root + "/sim-cp");
        MakeFiles(root + "/sim-ours/Texture", names, size, 'o');
        MakeFiles(root + "/sim-cp/Texture", names, size, 'o');
        Engines engines(app);
        engines.settings.fspath = root + "/sim-ours";
        OneCheckedRow rows;
        auto runOurs = [&] { ours.push_back(Seconds([&] { InstallSelectedAreas(engines.session, rows, areas); })); };
        auto runCp = [&] {
            cp.push_back(Seconds([&] {
                if (!Shell("cp -p -f '" + app + "/Area1/'* '" + root + "/sim-cp/Texture/'")) std::exit(1);
            }));
        };
        RunAlternated(round, runOurs, runCp);
        CheckSameFiles(app + "/Area1", root + "/sim-ours/Texture", count);
    }
    RemoveTree(root + "/sim-ours");
    RemoveTree(root + "/sim-cp");
    RemoveTree(app);
    Report(name, "cp", ours, cp);
}

// Backs up a 10,000-entry list whose names differ in case from the files.
void BenchBackup(const std::string& root, std::size_t count, std::size_t size, int rounds) {
    const std::string app = root + "/app";
    const auto names = TextureNames(count);
    const auto listed = UpperCased(names);
    MakeFiles(root + "/sim/Texture", names, size, 's');
    std::filesystem::create_directories(app);
    {
        std::ofstream list(app + "/backup.lst", std::ios::binary);
        list << (count + 1) << "\r\n";
        for (const auto& n : listed) list << n << "\r\n";
        list << "end\r\n";
        std::ofstream files(root + "/files-from.txt", std::ios::binary);
        for (const auto& n : names) files << n << "\n";
    }
    std::vector<double> ours, rsync;
    for (int round = 0; round < rounds; ++round) {
        RemoveTree(root + "/backup-ours");
        RemoveTree(root + "/backup-rsync");
        std::filesystem::create_directories(root + "/backup-ours");
        std::filesystem::create_directories(root + "/backup-rsync");
        Engines engines(app);
        engines.settings.fspath = root + "/sim";
        engines.settings.backuppath = root + "/backup-ours";
        engines.session.backupSourceFolders[0] = "Texture";
        auto runOurs = [&] {
            ours.push_back(Seconds([&] { RunBackupFolderLoop(engines.session, BackupRun::CreateMain); }));
        };
        auto runRsync = [&] {
            rsync.push_back(Seconds([&] {
                if (!Shell("rsync -t --files-from='" + root + "/files-from.txt' '" + root + "/sim/Texture/' '" +
                           root + "/backup-rsync/'"))
                    std::exit(1);
            }));
        };
        RunAlternated(round, runOurs, runRsync);
        CheckSameFiles(root + "/sim/Texture", root + "/backup-ours", count);
    }
    Report("backup-list", "rsync", ours, rsync);
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit must fail the engines' writes, not kill the run silently.
    vrx::IgnoreFileSizeSignal();
    std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    std::string root = base + "/vrx-bench-XXXXXX";
    if (!mkdtemp(root.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    // An optional second argument runs one case only: install-small, install-large or backup-list.
    const std::string only = argc > 2 ? argv[2] : "";
    auto wanted = [&](const char* name) { return only.empty() || only == name; };
    const int rounds = 3;
    if (wanted("install-small")) BenchInstall(root, "install-small", 5000, 64 * 1024, rounds);
    if (wanted("install-large")) BenchInstall(root, "install-large", 200, 8 * 1024 * 1024, rounds);
    if (wanted("backup-list")) BenchBackup(root, 10000, 16 * 1024, rounds);
    RemoveTree(root);
    return 0;
}
