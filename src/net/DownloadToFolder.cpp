#include "net/DownloadToFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "files/FileSystem.h"
#include "net/SafeFileName.h"

namespace melodrop {

QString fileNameOfUrl(const QString& url) {
    // Cut at the last "/" of the still-encoded path, so that an encoded "%2F" inside the segment
    // stays in the name (and is refused there) instead of moving the cut.
    const QString path = QUrl(url).path(QUrl::FullyEncoded);
    const QString segment = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return QUrl::fromPercentEncoding(segment.toUtf8());
}

DownloadResult downloadToFolder(WebTransfer& transfer, const QString& url, const QString& folder) {
    return downloadToFolder(transfer, url, folder, fileNameOfUrl(url));
}

DownloadResult downloadToFolder(WebTransfer& transfer, const QString& url, const QString& folder,
                                const QString& name) {
    using Outcome = DownloadResult::Outcome;
    DownloadResult result;
    if (transfer.isBusy()) {
        result.outcome = Outcome::Busy;
        result.error = QStringLiteral("another transfer is still running");
        return result;
    }

    if (const QString why = unsafeFileNameReason(name); !why.isEmpty()) {
        result.outcome = Outcome::BadFileName;
        result.error = url + QStringLiteral(": ") + why;
        return result;
    }
    result.path = folder + QLatin1Char('/') + name;
    if (!QFileInfo(folder).isDir()) {
        result.outcome = Outcome::WriteFailed;
        result.error = folder + QStringLiteral(": no such folder");
        return result;
    }

    FetchResult fetched = transfer.fetch(url);
    if (!fetched.ok) {
        result.outcome = Outcome::FetchFailed;
        result.error = fetched.error;
        return result;
    }

    // A temporary file beside the target, renamed over it only when everything was written and
    // flushed: the old file is replaced whole or not at all.
    const std::string target = QFile::encodeName(result.path).toStdString();
    const std::error_code error = files::writeWholeFile(
        target, std::string_view(fetched.body.constData(), std::size_t(fetched.body.size())));
    if (error) {
        result.outcome = Outcome::WriteFailed;
        result.error = QString::fromStdString(files::describe(target, error));
        return result;
    }
    result.outcome = Outcome::Stored;
    return result;
}

}  // namespace melodrop
