#pragma once
// Fetches a URL over HTTP, blocking the caller while the program's events keep running, with a
// time limit. Shared by melodrop and skinfetch.
#include <QByteArray>
#include <QString>

namespace melodrop {

struct FetchResult {
    bool ok = false;  // a complete 2xx body arrived
    QByteArray body;  // the body (empty unless ok)
    QString error;    // what went wrong, for the user or a log
};

class WebTransfer {
public:
    virtual ~WebTransfer() = default;
    virtual FetchResult fetch(const QString& url) = 0;
    // True while a transfer is running (a nested call from an event handler during a wait).
    virtual bool isBusy() const = 0;
};

}  // namespace melodrop
