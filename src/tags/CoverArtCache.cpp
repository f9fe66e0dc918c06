#include "tags/CoverArtCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "files/FileSystem.h"

namespace melodrop::tags {

namespace {
const QString kPrefix = QStringLiteral("cover-");
}

CoverArtCache::CoverArtCache(QString folder) : folder_(std::move(folder)) {}

QString CoverArtCache::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/melodrop");
}

QString CoverArtCache::fileFor(const Picture& picture) {
    if (picture.isNull() || picture.bytes.size() > kMaxPictureBytes) return {};
    const QString suffix = pictureSuffix(picture.bytes);
    if (suffix.isEmpty()) return {};
    const QByteArray hash = QCryptographicHash::hash(picture.bytes, QCryptographicHash::Sha1);
    const QString path = QDir(folder_).filePath(kPrefix + QString::fromLatin1(hash.toHex()) +
                                                QLatin1Char('.') + suffix);
    const QFileInfo existing(path);
    if (existing.isFile() && existing.size() == picture.bytes.size()) return path;
    if (!QDir().mkpath(folder_)) return {};
    const std::error_code error = files::writeWholeFile(
        QFile::encodeName(path).toStdString(),
        std::string_view(picture.bytes.constData(), size_t(picture.bytes.size())));
    if (error) return {};
    keepNewest();
    return path;
}

void CoverArtCache::keepNewest() {
    const QFileInfoList pictures =
        QDir(folder_).entryInfoList({kPrefix + QStringLiteral("*")}, QDir::Files, QDir::Time);
    for (qsizetype i = kMaxPictures; i < pictures.size(); ++i)
        QFile::remove(pictures.at(i).filePath());
}

}  // namespace melodrop::tags
