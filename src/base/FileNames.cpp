#include "base/FileNames.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace melodrop {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the undefined ones stand for the control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isValidUtf8(const QByteArray& bytes, QString* decoded) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return false;
    if (decoded) *decoded = std::move(text);
    return true;
}

#ifdef Q_OS_UNIX
bool exists(const QByteArray& path) {
    struct stat st {};
    return ::stat(path.constData(), &st) == 0;
}
#endif

}  // namespace

QString fileNameFromBytes(const QByteArray& bytes) {
    // Most names are plain ASCII, which any reading gives alike.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QString name;
    if (isValidUtf8(bytes, &name)) return name;
    name.resize(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        name[i] = QChar(byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t(byte));
    }
    return name;
}

bool fileNameToWindows1252(const QString& name, QByteArray& bytes) {
    bytes.resize(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes[i] = static_cast<char>(c);
            continue;
        }
        const auto* at = std::find(kHighControls.begin(), kHighControls.end(), c);
        if (at == kHighControls.end()) return false;
        bytes[i] = static_cast<char>(0x80 + (at - kHighControls.begin()));
    }
    return true;
}

QByteArray nativeFilePath(const QString& path) {
    const QByteArray utf8 = QFile::encodeName(path);
#ifdef Q_OS_UNIX
    if (exists(utf8)) return utf8;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QByteArray name;
    if (!fileNameToWindows1252(path.mid(slash + 1), name) || isValidUtf8(name, nullptr))
        return utf8;
    const QByteArray candidate = slash < 0 ? name : QFile::encodeName(path.left(slash + 1)) + name;
    if (exists(candidate)) return candidate;
#endif
    return utf8;
}

}  // namespace melodrop
