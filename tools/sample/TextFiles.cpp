#include "TextFiles.h"

#include <QFile>
#include <stdexcept>

namespace sample {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

}  // namespace

void CopyAsWindowsText(const QString& source, const QString& target) {
    QByteArray text = ReadAll(source);
    text.replace("\r\n", "\n");
    text.replace("\n", "\r\n");
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() || !file.flush()) {
        throw std::runtime_error("cannot write " + target.toStdString());
    }
}

QStringList ReadLines(const QString& path) {
    QString text = QString::fromLatin1(ReadAll(path));
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace sample
