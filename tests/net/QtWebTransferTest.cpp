// The real transfer against a real server on 127.0.0.1: whole bodies arrive, every kind of
// incomplete answer is a failure with a reason, and waits end.
#include <gtest/gtest.h>

#include "localserver/LocalHttpServer.h"
#include "net/QtWebTransfer.h"

using namespace std::chrono_literals;

namespace melodrop {
namespace {

using melodrop::LocalHttpServer;

TransferLimits shortLimits() {
    TransferLimits limits;
    limits.window = 300ms;
    limits.total = 5000ms;
    return limits;
}

TEST(QtWebTransfer, WholeBodiesArriveByteForByte) {
    LocalHttpServer server;
    QByteArray big(6 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 % 251);
    server.serve("/small.txt", "0.0.2");
    server.serve("/big.bin", big);
    server.serve("/empty.txt", "");
    // Whole bodies, not pace, are what is tested here: limits a loaded machine always meets.
    TransferLimits generous;
    generous.window = 5000ms;
    generous.total = 60000ms;
    QtWebTransfer transfer(generous);

    const FetchResult small = transfer.fetch(server.url("/small.txt"));
    ASSERT_TRUE(small.ok) << small.error.toStdString();
    EXPECT_EQ(small.body, "0.0.2");
    const FetchResult large = transfer.fetch(server.url("/big.bin"));
    ASSERT_TRUE(large.ok) << large.error.toStdString();
    EXPECT_EQ(large.body, big);
    const FetchResult empty = transfer.fetch(server.url("/empty.txt"));
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.body.isEmpty());
    EXPECT_FALSE(transfer.isBusy());
}

TEST(QtWebTransfer, IncompleteAnswersFailWithAReason) {
    LocalHttpServer server;
    server.serve("/error", "<html>oops</html>", 500);
    server.serveSilence("/silent");
    server.serveCutOff("/cut", QByteArray(900, 'x'), 400);
    server.serve("/huge", QByteArray(5000, 'x'));
    TransferLimits limits = shortLimits();
    limits.maxBodyBytes = 1000;
    QtWebTransfer transfer(limits);

    const struct {
        QString url;
        QString reason;
    } cases[] = {
        {server.url("/missing"), "404 Not Found"},
        {server.url("/error"), "500 Internal Server Error"},
        {server.url("/silent"), "no answer within 0.3 s"},
        {server.url("/cut"), "cut off"},
        {server.url("/huge"), "larger than 1000 bytes"},
        {LocalHttpServer::refusingBaseUrl() + "/x", ""},
        {"ftp://127.0.0.1/x", "not a web address"},
    };
    for (const auto& c : cases) {
        const FetchResult r = transfer.fetch(c.url);
        EXPECT_FALSE(r.ok) << c.url.toStdString();
        EXPECT_TRUE(r.body.isEmpty()) << c.url.toStdString();
        EXPECT_TRUE(r.error.startsWith(c.url)) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(c.reason)) << r.error.toStdString();
        EXPECT_FALSE(transfer.isBusy());
    }
}

TEST(QtWebTransfer, TotalTimeLimitEndsASlowTransfer) {
    LocalHttpServer server;
    server.serveSilence("/slow");
    TransferLimits limits;
    limits.window = 60s;
    limits.total = 300ms;
    QtWebTransfer transfer(limits);

    const FetchResult r = transfer.fetch(server.url("/slow"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("longer than 0.3 s")) << r.error.toStdString();
}

TEST(QtWebTransfer, IsBusyDuringTheWaitAndRefusesANestedFetch) {
    LocalHttpServer server;
    server.serve("/a", "first");
    server.serve("/b", "second");
    QtWebTransfer transfer(shortLimits());
    bool busyDuringWait = false;
    FetchResult nested;
    server.onRequest = [&](const QString& path) {
        if (path != "/a") return;
        busyDuringWait = transfer.isBusy();
        nested = transfer.fetch(server.url("/b"));
    };

    const FetchResult outer = transfer.fetch(server.url("/a"));
    EXPECT_TRUE(busyDuringWait);
    EXPECT_FALSE(nested.ok);
    EXPECT_TRUE(nested.error.contains("still running"));
    EXPECT_TRUE(outer.ok);
    EXPECT_EQ(outer.body, "first");
    EXPECT_EQ(server.requestCount("/b"), 0);
    EXPECT_FALSE(transfer.isBusy());
}

}  // namespace
}  // namespace melodrop
