// Generates the sample add-on and a sample simulator folder from the text
// files in data/ and the artwork painted here:
//   vrx_sample_gen <data folder> <output folder>
// makes <output>/addon (everything of an add-on folder but the program) and
// <output>/FSX. The output is built beside and swapped in when complete, so
// a failed run never leaves half a sample.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
#include <cstdio>
#include <stdexcept>

#include "LandscapeArt.h"
#include "Manual.h"
#include "MediaArt.h"
#include "SampleAreas.h"
#include "TextFiles.h"

namespace {

using namespace sample;

void MakeFolder(const QString& path) {
    if (!QDir().mkpath(path)) throw std::runtime_error("cannot create " + path.toStdString());
}

void SaveBitmap(const QImage& image, const QString& path) {
    if (!image.save(path, "BMP")) throw std::runtime_error("cannot write " + path.toStdString());
}

unsigned SeedOf(const QString& text) {
    unsigned seed = 2166136261u;
    for (QChar c : text) seed = (seed ^ c.unicode()) * 16777619u;
    return seed;
}

void WriteMedia(const QString& media) {
    MakeFolder(media);
    SaveBitmap(PaintSidebarButton(Glyph::Help, "Help"), media + "/help.bmp");
    SaveBitmap(PaintSidebarButton(Glyph::Backups, "Backups"), media + "/backups.bmp");
    SaveBitmap(PaintSidebarButton(Glyph::Updates, "Updates"), media + "/updates.bmp");
    SaveBitmap(PaintSidebarButton(Glyph::Settings, "Settings"), media + "/settings.bmp");
    SaveBitmap(PaintSidebarButton(Glyph::WebSite, "Web site"), media + "/quellmark.bmp");
    SaveBitmap(PaintInstallButton(), media + "/install.bmp");
    SaveBitmap(PaintBanner(), media + "/banner.bmp");
    for (const AreaArt& area : SampleAreas()) {
        SaveBitmap(PaintPreview(area.look, area.title, SeedOf(area.previewFile)), media + "/" + area.previewFile);
    }
}

void WriteAreaTextures(const QString& addon) {
    for (const AreaArt& area : SampleAreas()) {
        const QString folder = addon + "/" + area.sourceFolder;
        MakeFolder(folder);
        for (const QString& name : NumberedNames(area.texturePrefix, area.textureCount)) {
            SaveBitmap(PaintTexture(area.look, SeedOf(name), false), folder + "/" + name);
        }
    }
}

// The simulator's own textures look like the sets that replace them, only duller.
Landscape OriginalLook(const QString& name) {
    for (const AreaArt& area : SampleAreas()) {
        if (name.startsWith(area.texturePrefix)) return area.look;
    }
    return {Pattern::Fields, QColor(120, 120, 112), QColor(150, 146, 132), QColor(90, 90, 90), 50};
}

void WriteSimulator(const QString& fsx) {
    MakeFolder(fsx);
    QFile exe(fsx + "/FSX.EXE");
    if (!exe.open(QIODevice::WriteOnly) || exe.write("Stand-in for the simulator's program file.\r\n") <= 0 ||
        !exe.flush()) {
        throw std::runtime_error("cannot write FSX.EXE");
    }
    for (const OriginalTextures& set : SimulatorTextures()) {
        MakeFolder(fsx + "/" + set.folder);
        for (const QString& name : set.files) {
            SaveBitmap(PaintTexture(OriginalLook(name), SeedOf(name) + 1, true), fsx + "/" + set.folder + "/" + name);
        }
    }
}

QString FromDataPath(QString path) {
    return path.replace('\\', '/');
}

// The catalogue and the backup list are hand-written: check them against what
// was generated, so that a typo fails the build instead of the demo.
void CheckConsistency(const QString& addon, const QString& fsx) {
    const QStringList catalogue = ReadLines(addon + "/vrx.cfg");
    const int count = catalogue.value(0).trimmed().toInt();
    if (count < 1 || catalogue.size() < count + 2) throw std::runtime_error("vrx.cfg: bad area count");
    for (int line = 1; line <= count; ++line) {
        const QStringList fields = catalogue[line].split('|');
        if (fields.size() < 7) throw std::runtime_error("vrx.cfg: an area line has fewer than seven fields");
        for (const QString& path : {addon + "/" + FromDataPath(fields[2]), addon + "/Media/" + fields[3],
                                    fsx + "/" + FromDataPath(fields[5])}) {
            if (!QFileInfo::exists(path)) throw std::runtime_error("vrx.cfg names a missing " + path.toStdString());
        }
    }
    if (catalogue[count + 1].toLower() != "//backups") throw std::runtime_error("vrx.cfg: no //backups line");
    for (int line = count + 2; line < catalogue.size() && catalogue[line].toLower() != "//end"; ++line) {
        if (!QFileInfo(fsx + "/" + FromDataPath(catalogue[line].trimmed())).isDir()) {
            throw std::runtime_error("vrx.cfg: missing backup folder " + catalogue[line].toStdString());
        }
    }

    const QStringList backupList = ReadLines(addon + "/backup.lst");
    const int entries = backupList.value(0).toInt() - 1;
    if (entries < 0 || backupList.size() != entries + 2) throw std::runtime_error("backup.lst: count does not match");
    const QSet<QString> listed(backupList.begin() + 1, backupList.begin() + 1 + entries);
    for (const AreaArt& area : SampleAreas()) {
        for (const QString& name : NumberedNames(area.texturePrefix, area.textureCount)) {
            if (!listed.contains(name)) throw std::runtime_error("backup.lst does not list " + name.toStdString());
        }
    }
}

void Generate(const QString& data, const QString& output) {
    const QString partial = output + ".partial";
    QDir(partial).removeRecursively();
    const QString addon = partial + "/addon";
    MakeFolder(addon);
    for (const char* name : {"vrx.cfg", "ui.cfg", "backup.lst"}) {
        CopyAsWindowsText(data + "/" + name, addon + "/" + name);
    }
    WriteMedia(addon + "/Media");
    WriteAreaTextures(addon);
    WriteManual(addon + "/VRX_Manual.pdf");
    WriteSimulator(partial + "/FSX");
    CheckConsistency(addon, partial + "/FSX");

    QDir(output).removeRecursively();
    if (!QDir().rename(partial, output)) throw std::runtime_error("cannot rename to " + output.toStdString());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vrx_sample_gen <data folder> <output folder>\n");
        return 2;
    }
    try {
        Generate(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vrx_sample_gen: %s\n", error.what());
        return 1;
    }
    return 0;
}
