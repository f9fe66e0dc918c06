#pragma once
// The ID3 tags of an MP3 file as libmpg123 reads them (ID3v2 and ID3v1): title, artist, album,
// track number and the embedded front picture. ID3v2 text in Latin-1, UTF-16 or UTF-8 arrives
// decoded; ID3v1's fixed fields are Latin-1. A field of ID3v2 wins over the same field of ID3v1.
// Reading is bounded: only a regular file is opened (never a pipe or a device), a tag claiming
// more than kMaxTagBytes is not read, and a picture larger than kMaxPictureBytes is left out.
#include <QByteArray>
#include <QString>

namespace melodrop::tags {

inline constexpr qsizetype kMaxTagBytes = 16 * 1024 * 1024;
inline constexpr qsizetype kMaxPictureBytes = 4 * 1024 * 1024;

struct Picture {
    QByteArray bytes;  // a PNG or JPEG file's content
    QString suffix;    // "png" or "jpg", from the bytes themselves
    bool isNull() const { return bytes.isEmpty(); }
};

struct TrackTags {
    QString title;
    QString artist;
    QString album;
    int trackNumber = 0;  // 0: none
    Picture picture;      // the front cover, else the first picture
};

TrackTags readTrackTags(const QString& path);

// The picture's kind from its first bytes: "png", "jpg", or "" for anything else.
QString pictureSuffix(const QByteArray& bytes);

}  // namespace melodrop::tags
