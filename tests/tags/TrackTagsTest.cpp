// The tags of MP3 files as libmpg123 reads them, in each text encoding, and their pictures kept
// once in the cache folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tags/CoverArtCache.h"
#include "tags/TrackTags.h"

using namespace melodrop::tags;

namespace {

QString fixture(const char* name) {
    return QStringLiteral(MELODROP_FIXTURES_DIR "/tones/") + QString::fromLatin1(name);
}

}  // namespace

TEST(TrackTags, EachTextEncodingIsDecoded) {
    const struct {
        const char* file;
        const char* title;
        const char* artist;
        const char* album;
        int track;
        bool picture;
    } cases[] = {
        // ID3v2 in Latin-1, with a PNG front cover.
        {"tagged-latin1.mp3", "Café del Mar", "Zoë", "Früh", 7, true},
        // ID3v2 in UTF-16 with a byte order mark.
        {"tagged-utf16.mp3", "東京の夜", "Кино", "Ночь", 3, false},
        // ID3v1.1 at the end of the file: Latin-1 fields, the track in the comment.
        {"tagged-v1.mp3", "Café Uno", "Old Tagger", "Latin One", 5, false},
        // No tag at all, and files that are no MP3 or nothing but a tag.
        {"tone-1s.mp3", "", "", "", 0, false},
        {"random.mp3", "", "", "", 0, false},
        {"empty.mp3", "", "", "", 0, false},
        {"tag-only.mp3", "title", "", "", 0, false},
        {"no-such-file.mp3", "", "", "", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const TrackTags tags = readTrackTags(fixture(c.file));
        EXPECT_EQ(tags.title, QString::fromUtf8(c.title));
        EXPECT_EQ(tags.artist, QString::fromUtf8(c.artist));
        EXPECT_EQ(tags.album, QString::fromUtf8(c.album));
        EXPECT_EQ(tags.trackNumber, c.track);
        EXPECT_EQ(!tags.picture.isNull(), c.picture);
    }
    const Picture cover = readTrackTags(fixture("tagged-latin1.mp3")).picture;
    EXPECT_EQ(cover.suffix, "png");
    EXPECT_EQ(cover.bytes.size(), 73);
    // A folder or a device is not opened.
    EXPECT_EQ(readTrackTags(QStringLiteral("/dev/zero")).title, QString());
    EXPECT_EQ(readTrackTags(QDir::tempPath()).title, QString());
}

TEST(CoverArtCache, KeepsEachPictureOnceAndOnlySoMany) {
    QTemporaryDir cache;
    CoverArtCache pictures(cache.filePath(QStringLiteral("melodrop")));
    const Picture cover = readTrackTags(fixture("tagged-latin1.mp3")).picture;
    const QString file = pictures.fileFor(cover);
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(file.startsWith(cache.filePath(QStringLiteral("melodrop/cover-"))));
    EXPECT_TRUE(file.endsWith(QStringLiteral(".png")));
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), cover.bytes);
    const QDateTime firstWrite = QFileInfo(file).lastModified();
    EXPECT_EQ(pictures.fileFor(cover), file);  // the same picture again: the same file, as it was
    EXPECT_EQ(QFileInfo(file).lastModified(), firstWrite);

    // What is not a picture, or is too large, is not kept.
    EXPECT_EQ(pictures.fileFor({QByteArray("<html>"), QStringLiteral("png")}), QString());
    EXPECT_EQ(pictures.fileFor({QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(kMaxPictureBytes, 'x'),
                                QStringLiteral("png")}),
              QString());
    // The folder holds at most so many: the oldest go.
    for (int i = 0; i < CoverArtCache::kMaxPictures + 5; ++i)
        pictures.fileFor(
            {QByteArray("\xFF\xD8\xFF") + QByteArray::number(i), QStringLiteral("jpg")});
    EXPECT_EQ(QDir(pictures.folder()).entryList(QDir::Files).size(), CoverArtCache::kMaxPictures);
}
