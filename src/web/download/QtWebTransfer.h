#pragma once
// The real web transfer: QNetworkAccessManager, with the caller blocked in a local event loop so
// that the program's own events (clicks, timers, chat lines) keep running during the wait.
#include <QNetworkAccessManager>
#include <chrono>

#include "web/download/WebTransfer.h"

namespace melodrop {

struct TransferLimits {
    // The transfer fails when the server sends nothing (no headers, no body bytes) for this long.
    std::chrono::milliseconds silence{30000};
    // ...or when the whole transfer takes longer than this, however steadily it trickles in.
    std::chrono::milliseconds total{10 * 60 * 1000};
    // A larger body is refused, so that a hostile server cannot exhaust memory.
    qint64 maxBodyBytes = qint64{64} * 1024 * 1024;
};

// One transfer at a time, like the transfer component it replaces: a fetch started while another
// one is waiting (from an event handler that ran during the wait) fails at once.
class QtWebTransfer : public WebTransfer {
public:
    explicit QtWebTransfer(TransferLimits limits = {});
    FetchResult fetch(const QString& url) override;
    bool isBusy() const override { return busy_; }

private:
    TransferLimits limits_;
    QNetworkAccessManager network_;
    bool busy_ = false;
};

}  // namespace melodrop
