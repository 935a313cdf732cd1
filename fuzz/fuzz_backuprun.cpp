// One backup or restore run over a fuzzed backup.lst, in a folder tree laid
// out afresh for every input: the add-on's folder, a simulator with a backed
// up texture folder and a texture folder that is not, the backup folder, and
// a folder beside them all. Whatever the list holds, the run writes only into
// the folder it copies to, writes there nothing but copies of files of the
// folder it copies from, leaves no temporary file, and ends with the window
// closed and at most the engine's one failure message.

#include <sys/xattr.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "backup/BackupEngine.h"
#include "config/AppSettings.h"
#include "config/EzCfg.h"
#include "history/History.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/linux/LinuxFileSystem.h"
#include "progress/StatusView.h"
#include "progress/StatusWindow.h"
#include "session/Session.h"

namespace {

class QuietPrompts final : public vrx::Prompts {
public:
    void message(const std::string& text, const std::string&) override { messages.push_back(text); }
    bool askYesNo(const std::string&, const std::string&) override {
        ++questions;
        return false;
    }
    bool askOkCancel(const std::string&, const std::string&) override {
        ++questions;
        return false;
    }
    std::vector<std::string> messages;
    int questions = 0;
};

class QuietView final : public vrx::StatusView {
public:
    void show() override { visible = true; }
    void hide() override { visible = false; }
    void setActionText(const std::string&) override {}
    void showBar(const vrx::ProgressBarModel&) override {}
    void processEvents() override {}
    void beep() override {}
    void pauseWithoutEvents(std::chrono::milliseconds) override {}
    bool visible = false;
};

class NoonClock final : public vrx::Clock {
public:
    std::tm localNow() override {
        std::tm t{};
        t.tm_year = 126;
        t.tm_mon = 11;
        t.tm_mday = 8;
        t.tm_hour = 12;
        return t;
    }
};

void SetDosAttrib(const std::string& path, const char* value) {
    ::setxattr(path.c_str(), "user.DOSATTRIB", value, std::string_view(value).size(), 0);
}

// The tree every input starts from. Textures differ in content so that a
// copy can be told from where it came.
void LayOut(const std::string& root) {
    using vrx::fuzz::MakeFolder;
    using vrx::fuzz::WriteBytes;
    vrx::fuzz::RemoveTree(root);
    MakeFolder(root);
    for (const char* folder :
         {"/app", "/fsx", "/fsx/Texture", "/fsx/Texture/Sub", "/fsx/Scenery", "/backup", "/backup/Sub", "/outside"}) {
        MakeFolder(root + folder);
    }
    WriteBytes(root + "/fsx/Texture/a.bmp", "sim a");
    WriteBytes(root + "/fsx/Texture/B.bmp", "sim B");
    WriteBytes(root + "/fsx/Texture/empty.bmp", "");
    WriteBytes(root + "/fsx/Texture/ro.bmp", "sim read-only");
    SetDosAttrib(root + "/fsx/Texture/ro.bmp", "0x1");
    WriteBytes(root + "/fsx/Texture/Sub/c.bmp", "sim sub c");
    WriteBytes(root + "/fsx/Texture/x.bmp.VRB", "sim x vrb");
    WriteBytes(root + "/fsx/Scenery/a.bmp", "scenery a");
    WriteBytes(root + "/backup/a.bmp", "backup a");
    WriteBytes(root + "/backup/a.bmp.VRB", "backup a alt");
    WriteBytes(root + "/backup/ro.bmp", "backup read-only");
    SetDosAttrib(root + "/backup/ro.bmp", "0x21");
    WriteBytes(root + "/backup/Sub/c.bmp.VRB", "backup sub c alt");
    WriteBytes(root + "/outside/a.bmp", "outside a");
    WriteBytes(root + "/outside/secret.txt", "outside secret");
    WriteBytes(root + "/app/vrx.cfg", "1\r\n0|Area|Area|a.bmp||Texture|x\r\n//backups\r\nTexture\r\n");
}

bool Within(const std::string& relative, const std::string& folder) {
    return relative == folder || relative.starts_with(folder + "/");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string root = vrx::fuzz::ScratchFolder() + "/run";
    LayOut(root);
    const std::string_view list(reinterpret_cast<const char*>(data) + 1, size - 1);
    vrx::fuzz::WriteBytes(root + "/app/backup.lst", list);

    const int kind = data[0] & 3;
    const bool restoring = kind >= 2;
    const std::string altSuffix = (kind & 1) ? ".VRB" : "";
    const std::string sim = "fsx/Texture";
    const std::string to = restoring ? sim : "backup";
    const std::string from = restoring ? "backup" : sim;

    vrx::LinuxFileSystem fs;
    QuietPrompts prompts;
    QuietView view;
    vrx::StatusWindow status(view, prompts);
    NoonClock clock;
    vrx::History history(fs, clock, root + "/app");
    vrx::EzCfg cfg(fs);
    vrx::AppSettings settings;
    settings.fspath = root + "/fsx";
    settings.backuppath = root + "/backup";
    settings.readoverwrite = (data[0] & 4) ? 1 : 0;
    vrx::Session session{fs, prompts, status, history, cfg, settings, root + "/app", root + "/app/settings.cfg"};
    session.skipExistingBackups = (data[0] & 8) != 0;

    const auto before = vrx::fuzz::Snapshot(root);
    vrx::ProcessBackupList(session, root + "/" + from, root + "/" + to, altSuffix, restoring);
    const auto after = vrx::fuzz::Snapshot(root);

    // What the run wrote may only be copies of the files it copies from.
    std::set<std::string> sourceContents;
    for (const auto& [path, state] : before) {
        if (state.kind == 'f' && Within(path, from)) sourceContents.insert(state.content);
    }
    for (const auto& [path, state] : after) {
        VRX_FUZZ_CHECK(path.find(".vrx-copy-") == std::string::npos);  // no temporary left
        const auto old = before.find(path);
        if (old != before.end() && old->second == state) continue;
        if (!Within(path, to)) {
            std::fprintf(stderr, "written outside %s: %s\n", to.c_str(), path.c_str());
            VRX_FUZZ_CHECK(!"nothing written outside the folder copied to");
        }
        // A changed entry inside: a file holding a source file's bytes, or the
        // read-only fix clearing attributes of a file otherwise unchanged.
        if (old != before.end() && old->second.content == state.content && state.kind == 'f') continue;
        VRX_FUZZ_CHECK(state.kind == 'f');
        VRX_FUZZ_CHECK(sourceContents.count(state.content) == 1);
    }
    for (const auto& [path, state] : before) {
        if (!after.count(path)) {
            std::fprintf(stderr, "removed: %s\n", path.c_str());
            VRX_FUZZ_CHECK(!"nothing removed");
        }
    }

    // However the run ended, the status window is closed, nobody was asked
    // anything, and the failure message came at most once.
    VRX_FUZZ_CHECK(!status.IsOpen() && !view.visible);
    VRX_FUZZ_CHECK(prompts.questions == 0);
    VRX_FUZZ_CHECK(!status.CancelRequested());
    VRX_FUZZ_CHECK(prompts.messages.size() <= 1);
    if (!prompts.messages.empty()) VRX_FUZZ_CHECK(prompts.messages.front() == vrx::kBackupFailed);
    return 0;
}
