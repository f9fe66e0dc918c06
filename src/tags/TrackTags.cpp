#include "tags/TrackTags.h"

#include <mpg123.h>

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace melodrop::tags {

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* h) const {
        mpg123_close(h);
        mpg123_delete(h);
    }
};
using HandlePtr = std::unique_ptr<mpg123_handle, HandleDeleter>;

QString fromMpg123(const mpg123_string* text) {
    if (!text || !text->p || text->fill == 0) return {};
    // fill counts the closing zero byte.
    return QString::fromUtf8(text->p, qsizetype(text->fill) - 1).trimmed();
}

// An ID3v1 field: Latin-1, ended by a zero byte or padded with blanks.
QString fromId3v1(const char* field, qsizetype size) {
    qsizetype length = 0;
    while (length < size && field[length] != '\0') ++length;
    return QString::fromLatin1(field, length).trimmed();
}

// "7/12" or "7": the track's number.
int trackNumberOf(const QString& text) {
    bool ok = false;
    const int number = text.section(QLatin1Char('/'), 0, 0).trimmed().toInt(&ok);
    return ok && number > 0 ? number : 0;
}

// The ID3v2 tag's size from its header at the start of the file: 0 when there is none.
qint64 leadingTagBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QByteArray header = file.read(10);
    if (header.size() < 10 || !header.startsWith("ID3")) return 0;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) size = (size << 7) | (quint8(header[i]) & 0x7F);
    return size + 10;
}

void readId3v2(const mpg123_id3v2& v2, TrackTags& tags) {
    tags.title = fromMpg123(v2.title);
    tags.artist = fromMpg123(v2.artist);
    tags.album = fromMpg123(v2.album);
    for (size_t i = 0; i < v2.texts; ++i) {
        if (qstrncmp(v2.text[i].id, "TRCK", 4) == 0)
            tags.trackNumber = trackNumberOf(fromMpg123(&v2.text[i].text));
    }
    const mpg123_picture* chosen = nullptr;
    for (size_t i = 0; i < v2.pictures; ++i) {
        const mpg123_picture& picture = v2.picture[i];
        if (!picture.data || picture.size == 0 || picture.size > size_t(kMaxPictureBytes)) continue;
        if (pictureSuffix(QByteArray::fromRawData(reinterpret_cast<const char*>(picture.data),
                                                  qsizetype(picture.size)))
                .isEmpty())
            continue;
        if (!chosen || (picture.type == mpg123_id3_pic_front_cover &&
                        chosen->type != mpg123_id3_pic_front_cover))
            chosen = &picture;
    }
    if (chosen) {
        tags.picture.bytes =
            QByteArray(reinterpret_cast<const char*>(chosen->data), qsizetype(chosen->size));
        tags.picture.suffix = pictureSuffix(tags.picture.bytes);
    }
}

void readId3v1(const mpg123_id3v1& v1, TrackTags& tags) {
    if (tags.title.isEmpty()) tags.title = fromId3v1(v1.title, sizeof v1.title);
    if (tags.artist.isEmpty()) tags.artist = fromId3v1(v1.artist, sizeof v1.artist);
    if (tags.album.isEmpty()) tags.album = fromId3v1(v1.album, sizeof v1.album);
    // ID3v1.1 keeps the track number in the comment's last byte, after a zero byte.
    if (tags.trackNumber == 0 && v1.comment[28] == '\0') tags.trackNumber = quint8(v1.comment[29]);
}

}  // namespace

QString pictureSuffix(const QByteArray& bytes) {
    if (bytes.startsWith("\x89PNG\r\n\x1a\n")) return QStringLiteral("png");
    if (bytes.startsWith("\xFF\xD8\xFF")) return QStringLiteral("jpg");
    return {};
}

TrackTags readTrackTags(const QString& path) {
    TrackTags tags;
    if (!QFileInfo(path).isFile()) return tags;
    int error = MPG123_OK;
    HandlePtr h(mpg123_new(nullptr, &error));
    if (!h) return tags;
    long flags = MPG123_QUIET | MPG123_PICTURE;
    // A tag that claims more than any real one is not read into memory.
    if (leadingTagBytes(path) > kMaxTagBytes) flags = MPG123_QUIET | MPG123_SKIP_ID3V2;
    if (mpg123_param(h.get(), MPG123_ADD_FLAGS, flags, 0) != MPG123_OK) return tags;
    if (mpg123_open(h.get(), QFile::encodeName(path).constData()) != MPG123_OK) return tags;
    // The ID3v2 tag is read with the stream's first frame; ID3v1 at the end when it opens.
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_getformat(h.get(), &rate, &channels, &encoding);
    if ((mpg123_meta_check(h.get()) & MPG123_ID3) == 0) return tags;
    mpg123_id3v1* v1 = nullptr;
    mpg123_id3v2* v2 = nullptr;
    if (mpg123_id3(h.get(), &v1, &v2) != MPG123_OK) return tags;
    if (v2) readId3v2(*v2, tags);
    if (v1) readId3v1(*v1, tags);
    return tags;
}

}  // namespace melodrop::tags
