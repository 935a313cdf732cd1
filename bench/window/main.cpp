// Times the Qt program's windows: the install with the real status window
// against the engine alone, and the start-up on a 200-area catalogue.
// Runs on Qt's offscreen platform, so it needs no display.
// Usage: vrx_bench_window [folder for the data, default /tmp] [install-window|startup-200|info-window] [rounds]

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchData.h"
#include "InformationWindowBench.h"
#include "InstallWindowBench.h"
#include "StartupBench.h"
#include "app/BrowserEnvironment.h"
#include "platform/linux/AppFolder.h"
#include "platform/linux/FileSizeSignal.h"

namespace {

// The offscreen platform cannot raise windows and says so at every raise the
// status window makes each second, and the browser describes its set-up at
// each start of the information window's child; everything else is passed on.
void QuietAboutKnownChatter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support raise()"))) return;
    if (type == QtInfoMsg && qstrcmp(context.category, "qt.webenginecontext") == 0) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

int main(int argc, char** argv) {
    // A write past a file-size limit fails like any other write instead of killing the run.
    vrx::IgnoreFileSizeSignal();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietAboutKnownChatter);
    vrx::PrepareBrowserEnvironment();
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--startup-child") return vrx::bench::StartupChild(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--info-child") return vrx::bench::InformationChild(argv[2]);

    const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    std::string root = base + "/vrx-bench-window-XXXXXX";
    if (!mkdtemp(root.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string only = argc > 2 ? argv[2] : "";
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    auto wanted = [&](const char* name) { return only.empty() || only == name; };
    if (wanted("install-window")) vrx::bench::BenchInstallWindow(root, 5000, 64 * 1024, rounds);
    if (wanted("startup-200")) {
        vrx::bench::BenchStartup(root, vrx::ExecutableFolder() + "/vrx_bench_window", 11);
    }
    if (wanted("info-window")) {
        vrx::bench::BenchInformationWindow(root, vrx::ExecutableFolder() + "/vrx_bench_window", rounds);
    }
    vrx::bench::RemoveTree(root);
    return 0;
}
