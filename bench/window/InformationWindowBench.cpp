#include "InformationWindowBench.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QProcess>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebEngineView>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "BenchData.h"
#include "StandIns.h"
#include "Timing.h"
#include "app/InformationWindow.h"
#include "app/MainWindow.h"
#include "app/Program.h"

namespace vrx::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kStepTimeoutMs = 60000;

// The sample add-on with settings that make start-up ask nothing.
std::string StageAddOn(const std::string& root) {
    const std::string base = root + "/info";
    fs::create_directories(base);
    fs::copy(VRX_SAMPLE_ADDON, base + "/Verdantis", fs::copy_options::recursive);
    MakeFiles(base + "/FSX", {"FSX.EXE"}, 16, 'x');
    fs::create_directories(base + "/FSX/Texture");
    fs::create_directories(base + "/Backup");
    std::ofstream settings(base + "/Verdantis/settings.cfg", std::ios::binary | std::ios::trunc);
    settings << "FSPath=" << base << "/FSX\r\nBackupPath=" << base << "/Backup\r\n"
             << "ReadOverwrite=0\r\nnorbackup=1\r\nrebackup=1\r\n";
    return base + "/Verdantis";
}

// An update page of about 20 KB of text, as a small news page would be.
QByteArray UpdatePage() {
    QByteArray html = "<html><head><title>Updates</title></head><body><h1>Verdantis X Norvane 1.08</h1>";
    for (int i = 0; i < 200; ++i) {
        html += "<p>Release note " + QByteArray::number(i) +
                ": textures of the lowlands sharpened, coastline shading mended.</p>";
    }
    html += "<p><a href='/files/setup.exe'>Download 1.09</a></p></body></html>";
    return html;
}

// Answers every request with the update page.
class PageServer : public QObject {
public:
    PageServer() : page_(UpdatePage()) {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n")) return;
                    socket->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                        QByteArray::number(page_.size()) + "\r\n\r\n" + page_);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

private:
    QTcpServer server_;
    QByteArray page_;
};

struct Memory {
    double rssMiB = 0;
    double pssMiB = 0;
    int processes = 0;
};

// Kibibytes of the field ("Rss:", "Pss:") in /proc/PID/smaps_rollup.
long RollupField(int pid, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string name;
    long value = 0;
    std::string unit;
    while (in >> name) {
        if (name == field && in >> value >> unit) return value;
        in.ignore(1 << 12, '\n');
    }
    return 0;
}

// The parent of every process, from /proc/PID/stat.
std::vector<std::pair<int, int>> ProcessParents() {
    std::vector<std::pair<int, int>> parents;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        const auto close = text.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) == 2) {
            parents.emplace_back(std::stoi(name), parent);
        }
    }
    return parents;
}

// RSS and PSS of pid and every process under it (the browser's helpers).
Memory MemoryOfTree(int pid) {
    std::set<int> tree{pid};
    const auto parents = ProcessParents();
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [child, parent] : parents) {
            if (tree.count(parent) > 0 && tree.insert(child).second) grew = true;
        }
    }
    Memory memory;
    for (const int member : tree) {
        memory.rssMiB += static_cast<double>(RollupField(member, "Rss:")) / 1024.0;
        memory.pssMiB += static_cast<double>(RollupField(member, "Pss:")) / 1024.0;
        ++memory.processes;
    }
    return memory;
}

// The child's next line, while this process's server keeps answering.
std::string NextLine(QProcess& child) {
    QElapsedTimer clock;
    clock.start();
    while (!child.canReadLine()) {
        if (child.state() == QProcess::NotRunning || clock.elapsed() > kStepTimeoutMs) return {};
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return child.readLine().trimmed().toStdString();
}

std::string MemoryText(const Spread& rss, const Spread& pss) {
    char text[160];
    std::snprintf(text, sizeof text, "RSS %.0f MiB (%.0f-%.0f), PSS %.0f MiB (%.0f-%.0f)", rss.median, rss.min, rss.max,
                  pss.median, pss.min, pss.max);
    return text;
}

// Waits in the event loop for a line on standard input.
void AwaitParent() {
    QEventLoop loop;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &loop, [&loop] {
        std::string line;
        std::getline(std::cin, line);
        loop.quit();
    });
    loop.exec();
}

}  // namespace

void BenchInformationWindow(const std::string& root, const std::string& self, int runs) {
    const std::string app = StageAddOn(root);
    PageServer server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VERDANTIS_UPDATE_SERVER", server.origin());
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(root + "/info/config"));
    env.insert("WINEPREFIX", QString::fromStdString(root + "/info/wine"));

    std::vector<double> shown;
    std::vector<double> rssBefore, pssBefore, rssOpen, pssOpen, rssAfter, pssAfter;
    int openProcesses = 0;
    int afterProcesses = 0;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QString::fromStdString(self), {"--info-child", QString::fromStdString(app)});
        const auto fail = [&child](const char* what) {
            std::fprintf(stderr, "info-window: %s\n", what);
            child.kill();
            child.waitForFinished();
            std::exit(1);
        };
        if (NextLine(child) != "ready") fail("the program did not show its main window");
        const int pid = static_cast<int>(child.processId());
        Memory m = MemoryOfTree(pid);
        rssBefore.push_back(m.rssMiB);
        pssBefore.push_back(m.pssMiB);
        child.write("go\n");
        const std::string said = NextLine(child);
        if (said.rfind("shown ", 0) != 0) fail("the update page was not shown");
        shown.push_back(std::stod(said.substr(6)));
        m = MemoryOfTree(pid);
        rssOpen.push_back(m.rssMiB);
        pssOpen.push_back(m.pssMiB);
        openProcesses = m.processes;
        child.write("go\n");
        if (NextLine(child) != "closed") fail("the window did not close");
        m = MemoryOfTree(pid);
        rssAfter.push_back(m.rssMiB);
        pssAfter.push_back(m.pssMiB);
        afterProcesses = m.processes;
        child.write("go\n");
        child.waitForFinished(kStepTimeoutMs);
    }
    RemoveTree(root + "/info");
    const Spread s = SpreadOf(shown);
    std::printf("info-window: update page shown %.3f s after pressing Updates (%.3f-%.3f over %d starts)\n", s.median,
                s.min, s.max, runs);
    std::printf("info-window: memory before opening: %s\n",
                MemoryText(SpreadOf(rssBefore), SpreadOf(pssBefore)).c_str());
    std::printf("info-window: memory with the window open (%d processes): %s\n", openProcesses,
                MemoryText(SpreadOf(rssOpen), SpreadOf(pssOpen)).c_str());
    std::printf("info-window: memory 2 s after it closed (%d processes): %s\n", afterProcesses,
                MemoryText(SpreadOf(rssAfter), SpreadOf(pssAfter)).c_str());
    std::fflush(stdout);
}

int InformationChild(const std::string& appFolder) {
    FailOnPrompt prompts;
    Program program(appFolder, ProgramServices{&prompts, nullptr, nullptr});
    if (!program.start()) return 1;
    QApplication::processEvents();
    std::puts("ready");
    std::fflush(stdout);
    AwaitParent();

    std::chrono::steady_clock::time_point pressed;
    bool shown = false;
    // Once the window is up, the page's load is timed; the parent then
    // measures, and the window is closed with "Exit".
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = qobject_cast<InformationWindow*>(QApplication::activeModalWidget());
        if (window == nullptr) return;
        poll.stop();
        QObject::connect(&window->browser(), &QWebEngineView::loadFinished, window, [&, window](bool ok) {
            if (shown || !ok) return;
            shown = true;
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
            std::printf("shown %.4f\n", seconds);
            std::fflush(stdout);
            AwaitParent();
            window->findChild<QAbstractButton*>("lblSelect0")->click();
        });
    });
    poll.start();
    auto* updates = program.mainWindow().findChild<QAbstractButton*>("Sidebar2");
    pressed = std::chrono::steady_clock::now();
    updates->click();
    if (!shown) return 1;
    // Let the browser's page and its renderer go, as they do while the user carries on.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    std::puts("closed");
    std::fflush(stdout);
    AwaitParent();
    return 0;
}

}  // namespace vrx::bench
