#pragma once
// Reading a skin's picture file: the whole file through the file-system seam (a regular file of
// bounded size; a pipe or a device is refused without blocking), decoded completely in memory.
// A picture is accepted only when it decodes whole: a cut-off PNG, JPEG or BMP, a header with an
// absurd or negative size, or a picture larger than any window are refused, so that a skin is
// never taken as applied while the window keeps showing the old picture.
#include <QImage>
#include <QString>

namespace melodrop {

struct DecodedPicture {
    QImage image;   // the decoded picture, null when refused
    QString error;  // why it was refused
    bool ok() const { return !image.isNull(); }
};

inline constexpr qsizetype kMaxPictureFileBytes = 16 * 1024 * 1024;
// Far larger than the 148 x 90 window; a picture claiming more is refused before it is decoded.
inline constexpr int kMaxPictureSide = 4096;

DecodedPicture decodeSkinPicture(const QString& path);
// The same on bytes already read (the fuzz target of the picture decoding).
DecodedPicture decodeSkinPictureBytes(const QByteArray& bytes);

}  // namespace melodrop
