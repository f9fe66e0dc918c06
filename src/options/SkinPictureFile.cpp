#include "options/SkinPictureFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include "files/FileSystem.h"

namespace melodrop {

namespace {

// Warnings of Qt's image decoders while a picture decodes that say data is missing ("Corrupt
// JPEG data: premature end of data segment", "Premature end of JPEG file"): the JPEG decoder
// fills what is missing with grey and still reports success. Other warnings (a PNG's odd colour
// profile) pass on as usual.
class DecoderWarnings {
public:
    DecoderWarnings() : previous_(qInstallMessageHandler(&DecoderWarnings::handle)) {
        active_ = this;
    }
    ~DecoderWarnings() {
        qInstallMessageHandler(previous_);
        active_ = nullptr;
    }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    const QString& damage() const { return damage_; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        const bool damage = text.contains(QLatin1String("corrupt"), Qt::CaseInsensitive) ||
                            text.contains(QLatin1String("premature end"), Qt::CaseInsensitive);
        if (active_ && damage) {
            if (active_->damage_.isEmpty()) active_->damage_ = text;
            return;
        }
        if (active_ && active_->previous_) active_->previous_(type, context, text);
    }

    static inline DecoderWarnings* active_ = nullptr;
    QtMessageHandler previous_;
    QString damage_;
};

quint32 le32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// Qt's BMP decoder takes a file cut short and fills the rest: check that an uncompressed
// bitmap's rows are all there.
QString bmpShortfall(const QByteArray& b) {
    if (!b.startsWith("BM") || b.size() < 26) return {};
    const quint32 dataOffset = le32(b, 10);
    const quint32 headerSize = le32(b, 14);
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = le16(b, 18);
        height = le16(b, 20);
        bits = le16(b, 24);
    } else if (headerSize >= 40 && b.size() >= 34) {
        width = static_cast<qint32>(le32(b, 18));
        height = static_cast<qint32>(le32(b, 22));
        bits = le16(b, 28);
        compression = le32(b, 30);
    } else {
        return {};
    }
    width = width < 0 ? -width : width;
    height = height < 0 ? -height : height;
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return QStringLiteral("the bitmap claims %1 x %2 pixels").arg(width).arg(height);
    // Only plain rows (BI_RGB, BI_BITFIELDS) have a size known in advance.
    if (compression != 0 && compression != 3) return {};
    const qint64 stride = (width * bits + 31) / 32 * 4;
    const qint64 needed = qint64(dataOffset) + stride * height;
    if (needed > b.size())
        return QStringLiteral("the bitmap is cut off (%1 of %2 bytes)").arg(b.size()).arg(needed);
    return {};
}

}  // namespace

DecodedPicture decodeSkinPictureBytes(const QByteArray& bytes) {
    DecodedPicture result;
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)) {
        result.error = QStringLiteral("the picture is %1 x %2 pixels, larger than any window")
                           .arg(size.width())
                           .arg(size.height());
        return result;
    }
    if (const QString shortfall = bmpShortfall(bytes); !shortfall.isEmpty()) {
        result.error = shortfall;
        return result;
    }
    QImage image;
    bool decoded = false;
    QString warning;
    {
        const DecoderWarnings warnings;
        decoded = reader.read(&image);
        warning = warnings.damage();
    }
    if (!decoded || image.isNull()) {
        result.error = QStringLiteral("the picture cannot be decoded: ") + reader.errorString();
    } else if (!warning.isEmpty()) {
        result.error = QStringLiteral("the picture is damaged: ") + warning;
    } else if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) {
        result.error = QStringLiteral("the picture is larger than any window");
    } else {
        result.image = std::move(image);
    }
    return result;
}

DecodedPicture decodeSkinPicture(const QString& path) {
    const std::string target = QFile::encodeName(path).toStdString();
    const files::ReadResult read = files::readWholeFile(target, kMaxPictureFileBytes);
    if (!read.ok()) return {{}, QString::fromStdString(files::describe(target, read.error))};
    DecodedPicture decoded = decodeSkinPictureBytes(QByteArray::fromStdString(read.bytes));
    if (!decoded.ok()) decoded.error = path + QStringLiteral(": ") + decoded.error;
    return decoded;
}

}  // namespace melodrop
