#pragma once
// The add-on's text files are kept in the repository with plain line feeds;
// the program reads Windows text files, where a line ends in CR LF.

#include <QString>
#include <QStringList>

namespace sample {

// Copies source to target with every line ended by CR LF. Throws on failure.
void CopyAsWindowsText(const QString& source, const QString& target);

// The lines of a text file, without their line ends. Throws on failure.
QStringList ReadLines(const QString& path);

}  // namespace sample
