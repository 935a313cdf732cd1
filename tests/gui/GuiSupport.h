#pragma once
// What the window tests share: scripted answers to the program's message
// boxes, and a small add-on folder with a simulator and a backup folder laid
// out in a real temporary folder, its pictures drawn with QImage.

#include <QColor>
#include <QString>
#include <deque>
#include <string>
#include <vector>

#include "platform/Prompts.h"
#include "support/TempDir.h"

namespace vrx::test {

// Answers questions from a queue (Yes/OK = true) and records every box.
// A question with no answer left is answered No and counted as unexpected.
class GuiPrompts final : public Prompts {
public:
    struct Shown {
        std::string text;
        std::string title;
        bool question;
    };
    void message(const std::string& text, const std::string& title) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    bool askOkCancel(const std::string& text, const std::string& title) override;

    // Texts of the boxes shown, in order.
    std::vector<std::string> texts() const;

    std::deque<bool> answers;
    std::vector<Shown> shown;
    int unexpected = 0;
};

// An add-on folder (app/), a simulator (FSX/ with FSX.EXE and Texture/) and
// a backup folder, with a settings.cfg that lets start-up ask nothing. The
// program's registry store and Wine prefix are kept inside the folder.
class AddonFolder {
public:
    AddonFolder();

    std::string app() const { return dir / "app"; }
    std::string fsx() const { return dir / "FSX"; }

    // A one-colour bitmap of the given size.
    static void WriteBitmap(const std::string& path, int width, int height, QColor colour);
    // The seven window pictures in Media/.
    void WriteMediaPictures();
    // vrx.cfg with the given area lines ("0|Name|Folder|preview.bmp|exclusions|Texture|description"),
    // and for each area its source folder with `files` small files and its preview picture.
    void WriteCatalogue(const std::vector<std::string>& areaLines, int files = 2);
    void WriteUiCfg(const std::string& text);
    void WriteText(const std::string& relative, const std::string& text);

    TempDir dir;
};

// Lines of a catalogue: "0|Area n|Arean|arean.bmp|<exclusions>|Texture|About area n."
std::string AreaLine(int n, const std::string& exclusions = "");

}  // namespace vrx::test
