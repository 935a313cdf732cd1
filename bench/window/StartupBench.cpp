#include "StartupBench.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QListWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "BenchData.h"
#include "StandIns.h"
#include "Timing.h"
#include "app/MainWindow.h"
#include "app/Program.h"

extern char** environ;

namespace vrx::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kAreas = 200;

// The sample add-on's pictures and colours with a catalogue of kAreas areas,
// settings that make start-up ask nothing, and a simulator folder.
std::string StageAddOn(const std::string& root) {
    const std::string app = root + "/startup/Verdantis";
    const std::string sample = VRX_SAMPLE_ADDON;
    fs::create_directories(app);
    fs::copy(sample + "/Media", app + "/Media", fs::copy_options::recursive);
    fs::copy_file(sample + "/ui.cfg", app + "/ui.cfg");
    const char* previews[] = {"lowlands_summer.bmp", "lowlands_autumn.bmp", "saltmere_coast.bmp",
                              "highlands_dense.bmp", "highlands_light.bmp", "river_valleys.bmp"};
    std::ofstream catalogue(app + "/vrx.cfg", std::ios::binary);
    catalogue << kAreas << "\r\n";
    for (int i = 1; i <= kAreas; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", i);
        // Neighbouring areas exclude each other, as alternatives of one region do.
        const int partner = i % 2 == 1 ? i + 1 : i - 1;
        catalogue << i << "|Scenery area " << i << "|Areas\\Area" << number << '|' << previews[(i - 1) % 6] << '|'
                  << partner << "|Texture|Description of area " << i << ".\\nSecond line.\r\n";
        MakeFiles(app + "/Areas/Area" + number, {"tex.bmp"}, 1024, 'a');
    }
    catalogue << "//backups\r\nTexture\r\n//end\r\n";

    const std::string simulator = root + "/startup/FSX";
    MakeFiles(simulator, {"FSX.EXE"}, 16, 'x');
    fs::create_directories(root + "/startup/Backup");
    std::ofstream settings(app + "/settings.cfg", std::ios::binary);
    settings << "FSPath=" << simulator << "\r\nBackupPath=" << root << "/startup/Backup\r\n"
             << "ReadOverwrite=0\r\nnorbackup=1\r\nrebackup=1\r\n";
    return app;
}

// Seconds from spawning the child to its "shown", or a negative value on failure.
double TimeOneStart(const std::string& self, const std::string& app) {
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args{self, "--startup-child", app};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return -1;
    }
    char said[8] = {};
    const ssize_t got = read(out[0], said, 5);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const bool shown = got == 5 && std::string(said, 5) == "shown";
    return shown && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

}  // namespace

void BenchStartup(const std::string& root, const std::string& self, int runs) {
    const std::string app = StageAddOn(root);
    // The program writes its folder into the registry at every start: keep it
    // and any Wine prefix inside the benchmark's folder.
    setenv("XDG_CONFIG_HOME", (root + "/startup/config").c_str(), 1);
    setenv("WINEPREFIX", (root + "/startup/wine").c_str(), 1);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double seconds = TimeOneStart(self, app);
        if (seconds < 0) {
            std::fprintf(stderr, "startup-200: the program did not show its main window\n");
            std::exit(1);
        }
        times.push_back(seconds);
    }
    RemoveTree(root + "/startup");
    const Spread s = SpreadOf(times);
    std::printf("startup-200: main window shown %.3f s after process start (%.3f-%.3f over %d starts)\n", s.median,
                s.min, s.max, runs);
    std::fflush(stdout);
}

int StartupChild(const std::string& appFolder) {
    FailOnPrompt prompts;
    Program program(appFolder, ProgramServices{&prompts, nullptr, nullptr});
    if (!program.start()) return 1;
    QApplication::processEvents();
    if (!program.mainWindow().isVisible()) return 1;
    const auto* list = program.mainWindow().findChild<QListWidget*>("List1");
    if (list == nullptr || list->count() != kAreas) {
        std::fprintf(stderr, "startup-200: the area list holds %d rows\n", list == nullptr ? -1 : list->count());
        return 1;
    }
    std::fputs("shown", stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace vrx::bench
