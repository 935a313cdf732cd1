#include "Manual.h"

#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <stdexcept>

namespace sample {
namespace {

const char* const kManualHtml = R"(
<h1 style="color:#2E4A3B">Verdantis X Norvane</h1>
<p><i>User manual of the sample add-on</i></p>

<h2>What it does</h2>
<p>Verdantis X Norvane replaces the ground textures of Flight Simulator X with new
ones, grouped into scenery areas. The manager lists the areas, shows a preview and a
description of each, and copies the areas you tick into the simulator's texture
folders. Before anything is replaced it offers to back up the simulator's own
textures, so you can always go back.</p>

<h2>Before you start</h2>
<p>At the first start the manager asks for two folders: the folder where FSX is
installed (the one holding FSX.EXE) and a folder for backups. If your simulator
keeps some textures read-only, turn on the read-only fix in the settings so that
they can be replaced.</p>

<h2>Installing scenery areas</h2>
<ol>
<li>Click an area in the list to read its description and see its preview.</li>
<li>Tick the areas you want. Some areas are alternatives to each other (summer or
autumn fields, dense or light forest): ticking one clears the tick of the other.</li>
<li>Click <b>Install</b>. A status window shows each file as it is copied. Closing
that window asks whether to cancel; files already copied stay in place.</li>
</ol>
<p><b>Select All</b> and <b>Select None</b> tick or clear the whole list.</p>

<h2>Backups</h2>
<p>The backup manager keeps two sets: the main set, made from the simulator's own
textures, and an alternate set that you can make at any time, for example after
installing a combination of areas you like. Either set can be restored.</p>

<h2>The history log</h2>
<p>Every installation, backup and restore is written to the history log.
Click <b>View Log</b> to read it.</p>

<h2>Areas of the sample</h2>
<table border="1" cellpadding="4" cellspacing="0">
<tr><th>Area</th><th>Notes</th></tr>
<tr><td>Norvane Lowlands (summer / autumn)</td><td>Two seasons of the same fields; pick one.</td></tr>
<tr><td>Saltmere Coast</td><td>Cliffs, beaches and tidal flats.</td></tr>
<tr><td>Harrow Highlands (dense / light forest)</td><td>Two densities of the same forest; pick one.</td></tr>
<tr><td>Ember River Valleys</td><td>Rivers and water meadows.</td></tr>
</table>
)";

}  // namespace

void WriteManual(const QString& path) {
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setTitle("Verdantis X Norvane - User Manual");
        writer.setCreator("Verdantis X Norvane sample generator");
        QTextDocument document;
        QFont font("Arial");
        font.setPointSize(11);
        document.setDefaultFont(font);
        document.setHtml(QString::fromUtf8(kManualHtml));
        document.print(&writer);
    }
    if (QFile(path).size() <= 0) throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace sample
