// Skin pictures count as loaded only when they decode whole; special files and oversized
// pictures are refused at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "options/SkinPictureFile.h"

using namespace melodrop;

namespace {

QImage face() {
    QImage image(148, 90, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x, y * 2, (x * y) & 255));
    return image;
}

QByteArray encoded(const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(face().save(&buffer, format));
    return bytes;
}

QByteArray bmpWithSize(qint32 width, qint32 height) {
    QByteArray bytes = encoded("BMP");
    qToLittleEndian(width, bytes.data() + 18);
    qToLittleEndian(height, bytes.data() + 22);
    return bytes;
}

}  // namespace

TEST(SkinPictureFile, WholePicturesDecodeToTheirPixels) {
    for (const char* format : {"BMP", "PNG"}) {
        const DecodedPicture decoded = decodeSkinPictureBytes(encoded(format));
        ASSERT_TRUE(decoded.ok()) << format << ": " << decoded.error.toStdString();
        EXPECT_EQ(decoded.image.convertToFormat(QImage::Format_RGB32), face()) << format;
    }
    const DecodedPicture jpeg = decodeSkinPictureBytes(encoded("JPEG"));
    ASSERT_TRUE(jpeg.ok()) << jpeg.error.toStdString();
    EXPECT_EQ(jpeg.image.size(), QSize(148, 90));
}

TEST(SkinPictureFile, CutOffAndImpossiblePicturesAreRefused) {
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"PNG cut to 90%", encoded("PNG").left(encoded("PNG").size() * 9 / 10)},
        {"JPEG cut to 90%", encoded("JPEG").left(encoded("JPEG").size() * 9 / 10)},
        {"JPEG cut to half", encoded("JPEG").left(encoded("JPEG").size() / 2)},
        {"BMP cut to 90%", encoded("BMP").left(encoded("BMP").size() * 9 / 10)},
        {"BMP cut to a tenth", encoded("BMP").left(encoded("BMP").size() / 10)},
        {"BMP of 20000 x 20000", bmpWithSize(20000, 20000)},
        {"BMP of negative size", bmpWithSize(-148, -90)},
        {"BMP of 1 x -2147483648", bmpWithSize(1, std::numeric_limits<qint32>::min())},
        {"no picture", "BM this is no picture"},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        QElapsedTimer clock;
        clock.start();
        const DecodedPicture decoded = decodeSkinPictureBytes(c.bytes);
        EXPECT_FALSE(decoded.ok()) << c.what;
        EXPECT_TRUE(decoded.image.isNull()) << c.what;
        EXPECT_FALSE(decoded.error.isEmpty()) << c.what;
        EXPECT_LT(clock.elapsed(), 2000) << c.what;
    }
    EXPECT_TRUE(decodeSkinPictureBytes(bmpWithSize(148, -90)).ok());  // top-down rows are fine
}

TEST(SkinPictureFile, SpecialFilesAndHugeFilesAreRefusedWithoutBlocking) {
    QTemporaryDir dir;
    const QString fifo = dir.path() + "/fifo.bmp";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.path() + "/zero.bmp";
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString huge = dir.path() + "/huge.bmp";
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(encoded("BMP"));
        ASSERT_TRUE(f.resize(kMaxPictureFileBytes + 1));
    }
    QElapsedTimer clock;
    clock.start();
    for (const QString& path : {fifo, zero, dir.path(), huge, dir.path() + "/missing.bmp"}) {
        const DecodedPicture decoded = decodeSkinPicture(path);
        EXPECT_FALSE(decoded.ok()) << path.toStdString();
        EXPECT_TRUE(decoded.error.startsWith(path + ": ")) << decoded.error.toStdString();
    }
    EXPECT_LT(clock.elapsed(), 2000);
}
