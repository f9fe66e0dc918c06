// The transfer against a hostile server: endless bodies with and without length, a trickle, a
// header that never ends, a redirect loop. Each ends in bounded time and memory with a reason.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "fakes/ProcessMemory.h"
#include "localserver/LocalHttpServer.h"
#include "net/QtWebTransfer.h"

using namespace std::chrono_literals;

namespace melodrop {
namespace {

using testing::peakResidentBytes;
using testing::resetPeakResident;
using testing::residentBytes;
using Hostile = LocalHttpServer::Hostile;

constexpr qint64 kMiB = 1024 * 1024;

struct Outcome {
    FetchResult result;
    qint64 milliseconds = 0;
    qint64 extraMemory = 0;  // peak resident memory during the fetch, beyond what was there
};

Outcome fetchMeasured(QtWebTransfer& transfer, const QString& url) {
    EXPECT_TRUE(resetPeakResident());
    const qint64 before = residentBytes();
    QElapsedTimer clock;
    clock.start();
    Outcome out;
    out.result = transfer.fetch(url);
    out.milliseconds = clock.elapsed();
    out.extraMemory = peakResidentBytes() - before;
    return out;
}

// An endless body, with or without chunks: refused at the cap, with memory near the cap (the
// body is held whole until it is judged) instead of whatever the server manages to send.
TEST(HostileServer, AnEndlessBodyIsRefusedAtTheCapWithMemoryNearIt) {
    LocalHttpServer server;
    server.serveHostile("/nolength", Hostile::NoLength);
    server.serveHostile("/chunked", Hostile::Chunked);
    TransferLimits limits;
    limits.maxBodyBytes = 32 * kMiB;
    limits.window = 5s;
    QtWebTransfer transfer(limits);
    for (const QString path : {"/nolength", "/chunked"}) {
        const qint64 sentBefore = server.hostileBytesSent();
        const Outcome out = fetchMeasured(transfer, server.url(path));
        EXPECT_FALSE(out.result.ok) << path.toStdString();
        EXPECT_TRUE(out.result.error.contains("larger than 33554432 bytes"))
            << out.result.error.toStdString();
        if (testing::kPeakMemoryMeaningful) {
            EXPECT_LT(out.extraMemory, limits.maxBodyBytes + 24 * kMiB) << path.toStdString();
        }
        EXPECT_LT(server.hostileBytesSent() - sentBefore, limits.maxBodyBytes + 8 * kMiB);
        EXPECT_LT(out.milliseconds, 20000);
        std::printf("[ measure  ] %s: %lld MiB more at the peak, %lld ms\n", qPrintable(path),
                    static_cast<long long>(out.extraMemory / kMiB),
                    static_cast<long long>(out.milliseconds));
    }
}

// One byte a second never met the old silence rule; now a window that brings less than the
// minimum ends the transfer, and the message says the server is too slow.
TEST(HostileServer, ATrickleEndsWhenAWindowBringsLessThanTheMinimum) {
    LocalHttpServer server;
    server.serveHostile("/trickle", Hostile::Trickle);
    server.setTrickleInterval(20);
    TransferLimits limits;
    limits.window = 400ms;
    limits.minBytesPerWindow = 100;
    QtWebTransfer transfer(limits);
    const Outcome out = fetchMeasured(transfer, server.url("/trickle"));
    EXPECT_FALSE(out.result.ok);
    EXPECT_TRUE(out.result.error.contains("the server is too slow: only "))
        << out.result.error.toStdString();
    EXPECT_TRUE(out.result.error.contains(" bytes arrived in 0.4 s"))
        << out.result.error.toStdString();
    EXPECT_LT(out.milliseconds, 3000);
}

// A fast stream still meets the minimum in every window and arrives whole.
TEST(HostileServer, ASteadyStreamIsNotTakenForATrickle) {
    LocalHttpServer server;
    const QByteArray body(3 * kMiB, 'b');
    server.serve("/steady", body);
    TransferLimits limits;
    limits.window = 400ms;
    limits.minBytesPerWindow = 100;
    QtWebTransfer transfer(limits);
    const FetchResult r = transfer.fetch(server.url("/steady"));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, body);
}

// The headers are bounded too, and the transfer is fit for the next fetch at once (the reading
// thread of QNetworkAccessManager went on taking such a header after the transfer gave up, and
// later transfers to that server stalled).
TEST(HostileServer, AHeaderThatNeverEndsFailsInBoundedTimeAndMemory) {
    LocalHttpServer server;
    server.serveHostile("/header", Hostile::HugeHeader);
    server.serve("/fine", "0.0.2");
    TransferLimits limits;
    limits.window = 2s;
    QtWebTransfer transfer(limits);
    const Outcome out = fetchMeasured(transfer, server.url("/header"));
    EXPECT_LT(server.hostileBytesSent(), 4 * kMiB);
    EXPECT_FALSE(out.result.ok);
    EXPECT_TRUE(out.result.error.startsWith(server.url("/header") + ": "));
    if (testing::kPeakMemoryMeaningful) {
        EXPECT_LT(out.extraMemory, 64 * kMiB);
    }
    EXPECT_LT(out.milliseconds, 10000);
    EXPECT_TRUE(out.result.error.contains("headers are larger than 65536 bytes"))
        << out.result.error.toStdString();
    const Outcome next = fetchMeasured(transfer, server.url("/fine"));
    EXPECT_TRUE(next.result.ok) << next.result.error.toStdString();
    EXPECT_LT(next.milliseconds, 1000);
}

TEST(HostileServer, ARedirectLoopEnds) {
    LocalHttpServer server;
    server.serveHostile("/loop", Hostile::RedirectLoop);
    QtWebTransfer transfer;
    const Outcome out = fetchMeasured(transfer, server.url("/loop"));
    EXPECT_FALSE(out.result.ok);
    EXPECT_TRUE(out.result.error.contains("redirect", Qt::CaseInsensitive))
        << out.result.error.toStdString();
    EXPECT_LE(server.requestCount("/loop"), 12);
    EXPECT_LT(out.milliseconds, 5000);
}

}  // namespace
}  // namespace melodrop
