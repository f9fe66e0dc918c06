#pragma once
// The real web transfer: an HTTP/1.1 GET over a socket of the program's own event loop, with the
// caller blocked in a local event loop so that the program's own events (clicks, timers, chat
// lines) keep running during the wait. It reads the answer with HttpResponseParser rather than
// through QNetworkAccessManager, whose reading thread takes a header that never ends byte by
// byte, for ever, even after the transfer was given up, and then stalls every later transfer to
// that server.
#include <QtGlobal>
#include <chrono>

#include "net/WebTransfer.h"

namespace melodrop {

struct TransferLimits {
    // The transfer fails when, within one window of this length, the server delivers less than
    // minBytesPerWindow bytes of the body: nothing at all ("no answer"), or a trickle that would
    // hold the transfer for ever ("too slow"). A window starts when the answer's headers arrive
    // and again whenever the minimum has arrived.
    std::chrono::milliseconds window{30000};
    qint64 minBytesPerWindow = 1024;
    // ...or when the whole transfer takes longer than this, however steadily it comes in.
    std::chrono::milliseconds total{10 * 60 * 1000};
    // A larger body is refused, so that a hostile server cannot exhaust memory.
    qint64 maxBodyBytes = qint64{64} * 1024 * 1024;
    // What the socket may hold of the answer before the transfer takes it.
    qint64 readBufferBytes = 256 * 1024;
    // The status line and headers together.
    qsizetype maxHeadBytes = 64 * 1024;
    // Redirects followed (never from https to http).
    int maxRedirects = 10;
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
    bool busy_ = false;
};

}  // namespace melodrop
