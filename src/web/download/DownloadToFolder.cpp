#include "web/download/DownloadToFolder.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include "web/download/SafeFileName.h"

namespace melodrop {

QString fileNameOfUrl(const QString& url) {
    // Cut at the last "/" of the still-encoded path, so that an encoded "%2F" inside the segment
    // stays in the name (and is refused there) instead of moving the cut.
    const QString path = QUrl(url).path(QUrl::FullyEncoded);
    const QString segment = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return QUrl::fromPercentEncoding(segment.toUtf8());
}

DownloadResult downloadToFolder(WebTransfer& transfer, const QString& url, const QString& folder) {
    using Outcome = DownloadResult::Outcome;
    DownloadResult result;
    if (transfer.isBusy()) {
        result.outcome = Outcome::Busy;
        result.error = QStringLiteral("another transfer is still running");
        return result;
    }

    const QString name = fileNameOfUrl(url);
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

    // QSaveFile writes a temporary file beside the target and renames it over the target only
    // when everything was written, so the old file is replaced whole or not at all.
    QSaveFile file(result.path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(fetched.body) == fetched.body.size() && file.commit();
    if (!written) {
        // The unfinished temporary file is removed when `file` goes out of scope.
        result.outcome = Outcome::WriteFailed;
        result.error = result.path + QStringLiteral(": ") + file.errorString();
        return result;
    }
    result.outcome = Outcome::Stored;
    return result;
}

}  // namespace melodrop
