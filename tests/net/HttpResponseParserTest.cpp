// Reading HTTP answers as they arrive: every framing, split anywhere, and the bounds a hostile
// server runs into.
#include <gtest/gtest.h>

#include "net/HttpResponseParser.h"

namespace melodrop {
namespace {

using State = HttpResponseParser::State;

HttpResponseParser::Limits small() {
    return {256, 1000};
}

// The same bytes fed whole, and one byte at a time, must give the same answer.
HttpResponseParser parse(const QByteArray& bytes, bool closed, bool byteByByte) {
    HttpResponseParser p(small());
    qint64 body = 0;
    if (byteByByte) {
        for (char c : bytes) body += p.feed(&c, 1);
    } else {
        body = p.feed(bytes);
    }
    if (closed) p.endOfInput();
    if (p.state() != State::Failed) {
        EXPECT_EQ(body, p.body().size());
    }
    return p;
}

TEST(HttpResponseParser, ReadsEveryFramingHoweverTheBytesAreSplit) {
    const struct {
        const char* what;
        QByteArray bytes;
        bool closed;
        QByteArray body;
    } cases[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n0.0.2", false, "0.0.2"},
        {"length, extra bytes after", "HTTP/1.0 200 OK\nContent-Length: 2\n\nabcdef", false, "ab"},
        {"until close", "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nto the end", true, "to the end"},
        {"chunked",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4;x=y\r\nWiki\r\n"
         "5\r\npedia\r\n0\r\nTrailer: 1\r\n\r\n",
         false, "Wikipedia"},
        {"interim answer first",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n"
         "content-length: 1\r\n\r\nx",
         false, "x"},
        {"no body", "HTTP/1.1 204 No Content\r\n\r\n", false, ""},
        {"empty length", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false, ""},
    };
    for (const auto& c : cases) {
        for (const bool byteByByte : {false, true}) {
            const HttpResponseParser p = parse(c.bytes, c.closed, byteByByte);
            EXPECT_EQ(p.state(), State::Done) << c.what << ": " << p.error().toStdString();
            EXPECT_EQ(p.body(), c.body) << c.what;
            EXPECT_EQ(p.status(), c.what == std::string("no body") ? 204 : 200) << c.what;
        }
    }
}

TEST(HttpResponseParser, StatusReasonAndLocation) {
    const HttpResponseParser p =
        parse("HTTP/1.1 302 Found\r\nLocation: /else/where?x=1\r\nContent-Length: 0\r\n\r\n", false,
              false);
    EXPECT_EQ(p.status(), 302);
    EXPECT_EQ(p.reason(), "Found");
    EXPECT_EQ(p.location(), "/else/where?x=1");
}

TEST(HttpResponseParser, CutOffAndMalformedAnswersFailWithAReason) {
    const struct {
        const char* what;
        QByteArray bytes;
        QString reason;
    } cases[] = {
        {"nothing", "", "no HTTP answer"},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n\r\n", "no HTTP answer"},
        {"cut in the head", "HTTP/1.1 200 OK\r\nContent-", "closed in the middle"},
        {"cut body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc",
         "cut off after 3 of 10 bytes"},
        {"cut chunks", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab",
         "cut off after 2 bytes"},
        {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
         "chunk framing"},
        {"bad length", "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n", "not a number"},
        {"two lengths", "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
         "two lengths"},
        {"stated length over the bound", "HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\n",
         "larger than 1000 bytes"},
        {"body over the bound", "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(1001, 'x'),
         "larger than 1000 bytes"},
        {"chunks over the bound",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3e9\r\n" + QByteArray(1001, 'x'),
         "larger than 1000 bytes"},
        {"head over the bound", "HTTP/1.1 200 OK\r\nX: " + QByteArray(300, 'h'),
         "headers are larger than 256 bytes"},
        {"endless chunk size line",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + QByteArray(2000, '0'),
         "chunk framing"},
    };
    for (const auto& c : cases) {
        for (const bool byteByByte : {false, true}) {
            const HttpResponseParser p = parse(c.bytes, true, byteByByte);
            EXPECT_EQ(p.state(), State::Failed) << c.what;
            EXPECT_TRUE(p.error().contains(c.reason)) << c.what << ": " << p.error().toStdString();
            EXPECT_TRUE(p.body().isEmpty()) << c.what;
        }
    }
}

}  // namespace
}  // namespace melodrop
