#include "gui/GuiSupport.h"

#include <QImage>
#include <cstdlib>

namespace vrx::test {

void GuiPrompts::message(const std::string& text, const std::string& title) {
    shown.push_back({text, title, false});
}

bool GuiPrompts::askYesNo(const std::string& text, const std::string& title) {
    shown.push_back({text, title, true});
    if (answers.empty()) {
        ++unexpected;
        return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

bool GuiPrompts::askOkCancel(const std::string& text, const std::string& title) {
    return askYesNo(text, title);
}

std::vector<std::string> GuiPrompts::texts() const {
    std::vector<std::string> result;
    for (const Shown& s : shown) result.push_back(s.text);
    return result;
}

AddonFolder::AddonFolder() {
    MakeDirs(app());
    WriteFile(fsx() + "/FSX.EXE", "MZ");
    MakeDirs(fsx() + "/Texture");
    MakeDirs(dir / "Backup");
    WriteText("settings.cfg", "fspath=" + fsx() + "\r\nbackuppath=" + (dir / "Backup") +
                                  "\r\nreadoverwrite=0\r\nnorbackup=1\r\nrebackup=1\r\n");
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("WINEPREFIX", (dir / "wine").c_str(), 1);
}

void AddonFolder::WriteBitmap(const std::string& path, int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    MakeDirs(path.substr(0, path.rfind('/')));
    image.save(QString::fromStdString(path), "BMP");
}

void AddonFolder::WriteMediaPictures() {
    const char* buttons[] = {"help", "backups", "updates", "settings", "quellmark"};
    for (const char* name : buttons) WriteBitmap(app() + "/Media/" + name + ".bmp", 65, 65, Qt::darkYellow);
    WriteBitmap(app() + "/Media/install.bmp", 160, 43, Qt::darkGreen);
    WriteBitmap(app() + "/Media/banner.bmp", 716, 100, Qt::darkBlue);
}

void AddonFolder::WriteCatalogue(const std::vector<std::string>& areaLines, int files) {
    std::string text = std::to_string(areaLines.size()) + "\r\n";
    for (const std::string& line : areaLines) {
        text += line + "\r\n";
        // Fields: 0|Name|SourceFolder|PreviewImage|...
        const auto first = line.find('|');
        const auto second = line.find('|', first + 1);
        const auto third = line.find('|', second + 1);
        const auto fourth = line.find('|', third + 1);
        const std::string folder = line.substr(second + 1, third - second - 1);
        const std::string preview = line.substr(third + 1, fourth - third - 1);
        for (int f = 1; f <= files; ++f) {
            WriteFile(app() + "/" + folder + "/tex" + std::to_string(f) + ".bmp",
                      folder + " texture " + std::to_string(f));
        }
        if (!preview.empty()) WriteBitmap(app() + "/Media/" + preview, 320, 240, Qt::darkCyan);
    }
    WriteText("vrx.cfg", text + "//backups\r\nTexture\r\n//end\r\n");
}

void AddonFolder::WriteUiCfg(const std::string& text) {
    WriteText("ui.cfg", text);
}

void AddonFolder::WriteText(const std::string& relative, const std::string& text) {
    WriteFile(app() + "/" + relative, text);
}

std::string AreaLine(int n, const std::string& exclusions) {
    const std::string id = std::to_string(n);
    return "0|Area " + id + "|Area" + id + "|area" + id + ".bmp|" + exclusions + "|Texture|About area " + id + ".";
}

}  // namespace vrx::test
