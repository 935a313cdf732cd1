// One read of one hostile file, in a process of its own so that the test can
// measure its peak resident size (getrusage of the child). Prints what the
// program made of the file on one line, values escaped as \xHH.
//
//   vrx_hostile_reader settings FILE            LoadSettings, then SaveSettings into FILE.saved
//   vrx_hostile_reader growing-settings FILE    the same while every read makes FILE longer
//   vrx_hostile_reader catalogue APP            LoadCatalogue of APP/vrx.cfg, then the first area's selection
//   vrx_hostile_reader backup APP FROM TO RUN   one ProcessBackupList run (RUN: create or restore)
//   vrx_hostile_reader copy FROM TO             one CopyFolderFiles run

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "backup/BackupEngine.h"
#include "catalogue/AreaSelection.h"
#include "catalogue/Catalogue.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "history/History.h"
#include "install/CopyFolderFiles.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/linux/LinuxFileSystem.h"
#include "progress/StatusView.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"

namespace {

std::string Escaped(std::string_view text, std::size_t limit = 64) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (text.size() > limit) out += "...(" + std::to_string(text.size()) + " bytes)";
    return out;
}

// The user's side: every message is recorded, no question is expected.
class RecordingPrompts final : public vrx::Prompts {
public:
    void message(const std::string& text, const std::string&) override { messages.push_back(text); }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    bool askOkCancel(const std::string&, const std::string&) override { return false; }
    std::vector<std::string> messages;
};

class RecordingView final : public vrx::StatusView {
public:
    void show() override {}
    void hide() override {}
    void setActionText(const std::string&) override {}
    void showBar(const vrx::ProgressBarModel& bar) override {
        // Long captions are not kept: the reader's own copies would count in its peak.
        const std::string caption = bar.caption().size() < 4096 ? bar.caption() : "(long)";
        if (captions.empty() || captions.back() != caption) captions.push_back(caption);
    }
    void processEvents() override {}
    void beep() override {}
    void pauseWithoutEvents(std::chrono::milliseconds) override {}
    std::vector<std::string> captions;
};

class NoonClock final : public vrx::Clock {
public:
    std::tm localNow() override { return std::tm{0, 0, 12, 8, 11, 126, 0, 0, 0, 0, nullptr}; }
};

// The area list with every picture loadable, to see which picture is asked for.
class AnyPictureList final : public vrx::AreaListView {
public:
    int FocusedIndex() const override { return 0; }
    int ItemCount() const override { return 1; }
    bool IsChecked(int) const override { return false; }
    void SetChecked(int, bool) override {}
    void ShowDescription(const std::string&) override {}
    bool ShowPreview(const std::string& path) override {
        preview = path;
        return true;
    }
    std::string preview;
};

struct Rig {
    explicit Rig(const std::string& app) : appFolder(app) {}
    std::string appFolder;
    vrx::LinuxFileSystem fs;
    RecordingPrompts prompts;
    RecordingView view;
    vrx::StatusWindow status{view, prompts};
    NoonClock clock;
    vrx::History history{fs, clock, appFolder};
    vrx::EzCfg cfg{fs};
    vrx::AppSettings settings;
    vrx::Session session{fs, prompts, status, history, cfg, settings, appFolder, appFolder + "/settings.cfg"};

    std::string Messages() const {
        std::string out = "messages=" + std::to_string(prompts.messages.size());
        for (const auto& m : prompts.messages) out += " [" + m + "]";
        return out;
    }
};

int Settings(const std::string& file, bool growing) {
    vrx::LinuxFileSystem fs;
    struct stat st {};
    ::stat(file.c_str(), &st);
    if (growing) {
        // Another program appends a block of pairs whenever this one reads.
        fs.setReadForTesting([file](int fd, char* buffer, std::size_t size) -> ssize_t {
            const ssize_t got = ::read(fd, buffer, size);
            const int out = ::open(file.c_str(), O_WRONLY | O_APPEND);
            std::string block;
            while (block.size() < 65536) block += "grown=1\r\n";
            if (out >= 0 && ::write(out, block.data(), block.size()) < 0) std::perror("append");
            if (out >= 0) ::close(out);
            return got;
        });
    }
    vrx::EzCfg cfg(fs);
    vrx::AppSettings settings;
    vrx::LoadSettings(settings, cfg, file);
    std::cout << "opened=" << st.st_size << " pairs=" << cfg.Entries().size() << " fspath=" << Escaped(settings.fspath)
              << " backuppath=" << Escaped(settings.backuppath) << " readoverwrite=" << settings.readoverwrite;
    const bool saved = vrx::SaveSettings(settings, cfg, file + ".saved");
    vrx::EzCfg reread(fs);
    std::cout << " saved=" << saved << " savedpairs=" << reread.ReadCFG(file + ".saved") << "\n";
    return 0;
}

int Catalogue(const std::string& app) {
    vrx::LinuxFileSystem fs;
    const auto result = vrx::LoadCatalogue(fs, app, app + "/vrx.cfg");
    if (!result.catalogue) {
        std::cout << (result.fatalMessage == vrx::kCatalogueCorrupted ? "corrupted" : "missing") << "\n";
        return 0;
    }
    const vrx::Catalogue& c = *result.catalogue;
    std::cout << "loaded areas=" << c.areas.size() << " name=" << Escaped(c.areas[0].Name)
              << " source=" << Escaped(c.areas[0].SourceFolder) << " target=" << Escaped(c.areas[0].TargetFolder)
              << " description=" << Escaped(c.areas[0].Description, 16)
              << " folder=" << Escaped(c.backupSourceFolders[0]);
    AnyPictureList list;
    RecordingPrompts prompts;
    vrx::UpdateAreaSelection(list, c.areas, app + "/Media/", prompts);
    std::cout << " preview=" << (list.preview.empty() ? "refused" : Escaped(list.preview.substr(app.size()))) << "\n";
    return 0;
}

int Backup(const std::string& app, const std::string& from, const std::string& to, const std::string& run) {
    Rig rig(app);
    rig.settings.fspath = from;
    vrx::ProcessBackupList(rig.session, from, to, "", run == "restore");
    std::cout << rig.Messages() << " open=" << rig.status.IsOpen() << "\n";
    return 0;
}

int Copy(const std::string& from, const std::string& to) {
    Rig rig(from);
    vrx::CopyFolderFiles(rig.session, from, to);
    std::cout << rig.Messages() << " captions=";
    for (const auto& caption : rig.view.captions) {
        if (!caption.empty()) std::cout << Escaped(caption.substr(to.size()), 200) << ";";
    }
    std::cout << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "settings") return Settings(args[1], false);
    if (args.size() == 2 && args[0] == "growing-settings") return Settings(args[1], true);
    if (args.size() == 2 && args[0] == "catalogue") return Catalogue(args[1]);
    if (args.size() == 5 && args[0] == "backup") return Backup(args[1], args[2], args[3], args[4]);
    if (args.size() == 3 && args[0] == "copy") return Copy(args[1], args[2]);
    std::cerr << "usage: see the head of hostile_reader.cpp\n";
    return 2;
}
