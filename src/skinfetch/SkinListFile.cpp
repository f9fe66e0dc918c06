#include "skinfetch/SkinListFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "files/FileSystem.h"

namespace melodrop::skinfetch {

namespace {

// The list copy holds what the transfer accepted (at most its 64 MB) and a line end.
constexpr std::size_t kMaxListCopyBytes = 64u * 1024 * 1024 + 2;

// Windows-1252 bytes 80 to 9F; the five it leaves undefined stay the control characters of
// the same value (and are refused as names).
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QList<QByteArray> splitListLines(const QByteArray& text) {
    QList<QByteArray> entries;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\r' && c != '\n') continue;
        entries << text.mid(start, i - start);
        if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) entries << text.mid(start);
    return entries;
}

QString entryName(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QString name;
    name.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        name += (b >= 0x80 && b <= 0x9F) ? QChar(kWindows1252High[b - 0x80]) : QChar(b);
    }
    return name;
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

std::optional<QList<QByteArray>> loadListCopy(const QString& path) {
    const files::ReadResult read =
        files::readWholeFile(QFile::encodeName(path).toStdString(), kMaxListCopyBytes);
    if (!read.ok()) return std::nullopt;
    return splitListLines(QByteArray::fromStdString(read.bytes));
}

}  // namespace melodrop::skinfetch
