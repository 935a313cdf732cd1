#include "InstallWindowBench.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "BenchData.h"
#include "StandIns.h"
#include "Timing.h"
#include "app/QtStatusView.h"
#include "app/StatusWindowWidget.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "history/History.h"
#include "platform/Clock.h"
#include "platform/linux/LinuxFileSystem.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"
#include "ui/Colour.h"

namespace vrx::bench {
namespace {

// A session like the program's, showing its progress through view.
struct Rig {
    LinuxFileSystem fs;
    FailOnPrompt prompts;
    StatusWindow status;
    SystemClock clock;
    EzCfg cfg{fs};
    AppSettings settings;
    History history;
    Session session;

    Rig(StatusView& view, const std::string& appFolder, const std::string& simulator)
        : status(view, prompts), history(fs, clock, appFolder), session{fs,        prompts,
                                                                        status,    history,
                                                                        cfg,       settings,
                                                                        appFolder, SettingsFilePathFor(appFolder)} {
        settings.fspath = simulator;
    }
};

void CheckCount(const std::string& folder, std::size_t count) {
    std::size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.is_regular_file() ? 1 : 0;
    if (n != count) {
        std::fprintf(stderr, "%s holds %zu files, expected %zu\n", folder.c_str(), n, count);
        std::exit(1);
    }
}

}  // namespace

void BenchInstallWindow(const std::string& root, std::size_t count, std::size_t size, int rounds) {
    const std::string app = root + "/app";
    const auto names = TextureNames(count);
    MakeFiles(app + "/Area1", names, size, 'n');
    const std::vector<SceneryArea> areas{{"Bench", "Area1", "", "", "", "Texture"}};
    const OneCheckedRow rows;

    QtStatusView window;
    window.setColours(ParseColour("2E4A3B"), ParseColour("EFE8D2"));
    WithoutPause windowView(window);
    SilentStatusView silentView;

    const std::string simOurs = root + "/sim-ours";
    const std::string simAlone = root + "/sim-alone";
    Rig withWindow(windowView, app, simOurs);
    window.attach(withWindow.status);
    Rig engineAlone(silentView, app, simAlone);

    std::vector<double> ours, alone, ratios, oursCpu, aloneCpu, cpuRatios;
    for (int round = 0; round < rounds; ++round) {
        RemoveTree(simOurs);
        RemoveTree(simAlone);
        MakeFiles(simOurs + "/Texture", names, size, 'o');
        MakeFiles(simAlone + "/Texture", names, size, 'o');

        Timed a{}, b{};
        auto runOurs = [&] { a = SettledRun([&] { InstallSelectedAreas(withWindow.session, rows, areas); }); };
        auto runAlone = [&] { b = SettledRun([&] { InstallSelectedAreas(engineAlone.session, rows, areas); }); };
        if (round % 2 == 0) {
            runOurs();
            runAlone();
        } else {
            runAlone();
            runOurs();
        }
        ours.push_back(a.wall);
        alone.push_back(b.wall);
        ratios.push_back(a.wall / b.wall);
        oursCpu.push_back(a.cpu);
        aloneCpu.push_back(b.cpu);
        cpuRatios.push_back(a.cpu / b.cpu);
        CheckCount(simOurs + "/Texture", count);
        CheckCount(simAlone + "/Texture", count);
        if (windowView.shows != round + 1 || window.widget().isVisible()) {
            std::fprintf(stderr, "the status window was not opened and closed by the install\n");
            std::exit(1);
        }
    }
    RemoveTree(simOurs);
    RemoveTree(simAlone);
    RemoveTree(app);

    const Spread a = SpreadOf(ours);
    const Spread b = SpreadOf(alone);
    const Spread r = SpreadOf(ratios);
    std::printf("install-window: ours %.2f s, engine alone %.2f s, ratio %.2f\n", a.median, b.median,
                a.median / b.median);
    std::printf("  over %d rounds: ours %s, engine alone %s, ratio per round %.2f (%.2f-%.2f)\n", rounds,
                SecondsText(a).c_str(), SecondsText(b).c_str(), r.median, r.min, r.max);
    const Spread ac = SpreadOf(oursCpu);
    const Spread bc = SpreadOf(aloneCpu);
    const Spread rc = SpreadOf(cpuRatios);
    std::printf("  processor time: ours %s, engine alone %s, ratio per round %.2f (%.2f-%.2f)\n",
                SecondsText(ac).c_str(), SecondsText(bc).c_str(), rc.median, rc.min, rc.max);
    std::fflush(stdout);
}

}  // namespace vrx::bench
