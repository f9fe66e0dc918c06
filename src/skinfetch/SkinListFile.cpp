#include "skinfetch/SkinListFile.h"

#include <QFile>
#include <QFileInfo>

namespace melodrop::skinfetch {

QStringList splitListLines(const QByteArray& text) {
    QStringList entries;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\r' && c != '\n') continue;
        entries << QString::fromUtf8(text.mid(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) entries << QString::fromUtf8(text.mid(start));
    return entries;
}

QString saveListCopy(const QString& path, const QByteArray& text) {
    QFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(text + "\r\n") == text.size() + 2 && file.flush();
    if (saved) return {};
    const bool pathMissing = !QFileInfo(QFileInfo(path).absolutePath()).isDir();
    return (pathMissing ? QStringLiteral("Error - ") : QStringLiteral("Unknown Error - ")) +
           file.errorString();
}

std::optional<QStringList> loadListCopy(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return splitListLines(file.readAll());
}

}  // namespace melodrop::skinfetch
