#pragma once
// The download routine shared by melodrop (the update archive) and skinfetch (skins): fetch a URL
// as bytes and store them, as the whole content of a file, under the URL's last path segment in a
// given folder.
#include <QString>

#include "net/WebTransfer.h"

namespace melodrop {

struct DownloadResult {
    enum class Outcome {
        Stored,       // the file now holds the whole body
        Busy,         // another transfer was running: nothing fetched, nothing stored
        BadFileName,  // the URL's last segment is not a safe file name: nothing fetched
        FetchFailed,  // no complete answer: the old file, if any, is untouched
        WriteFailed,  // the folder cannot be written: the old file, if any, is untouched
    };
    Outcome outcome = Outcome::FetchFailed;
    QString path;   // where the file is (or would have been) stored
    QString error;  // what failed, "" when stored

    bool ok() const { return outcome == Outcome::Stored; }
};

// The file name a URL is stored under: its last path segment, percent-decoded ("" if none).
QString fileNameOfUrl(const QString& url);

// Stores the body atomically: a failed or cut-off transfer leaves an earlier file of the same name
// exactly as it was, and no partial file is ever left behind.
DownloadResult downloadToFolder(WebTransfer& transfer, const QString& url, const QString& folder);
// The same, stored under the given file name (checked alike) instead of the URL's last segment.
DownloadResult downloadToFolder(WebTransfer& transfer, const QString& url, const QString& folder,
                                const QString& fileName);

}  // namespace melodrop
