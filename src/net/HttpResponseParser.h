#pragma once
// Reads one HTTP/1.x answer from the bytes a server sends, as they arrive, with bounds on what a
// hostile server can make it hold: the status line and headers together at most maxHeadBytes,
// the body at most maxBodyBytes (refused as soon as a Content-Length or the bytes themselves say
// more). Bodies framed by Content-Length, by chunks, or by the end of the connection. Interim
// answers (1xx) are skipped. Nothing here waits or touches a socket.
#include <QByteArray>
#include <QString>
#include <optional>

namespace melodrop {

class HttpResponseParser {
public:
    struct Limits {
        qsizetype maxHeadBytes = 64 * 1024;
        qint64 maxBodyBytes = qint64{64} * 1024 * 1024;
    };
    enum class State { Head, Body, Done, Failed };

    explicit HttpResponseParser(Limits limits) : limits_(limits) {}

    // Takes the next bytes from the server. Returns how many of them were body bytes.
    qint64 feed(const char* data, qsizetype size);
    qint64 feed(const QByteArray& bytes) { return feed(bytes.constData(), bytes.size()); }
    // The server closed the connection.
    void endOfInput();

    State state() const { return state_; }
    bool headComplete() const { return state_ == State::Body || state_ == State::Done; }
    int status() const { return status_; }
    const QString& reason() const { return reason_; }
    // The Location header of a redirect, as sent.
    const QByteArray& location() const { return location_; }
    std::optional<qint64> contentLength() const { return contentLength_; }
    // The body so far; whole once state() is Done.
    const QByteArray& body() const { return body_; }
    QByteArray takeBody() { return std::move(body_); }
    // Why the answer is not usable (state() is Failed).
    const QString& error() const { return error_; }

private:
    enum class Framing { Length, Chunked, UntilClose };
    enum class ChunkPart { Size, Data, DataEnd, Trailer };

    void fail(const QString& why);
    void parseHead();
    qint64 takeBody(const char* data, qsizetype size);
    qsizetype feedHead(const char* data, qsizetype size);
    qsizetype feedChunked(const char* data, qsizetype size, qint64& bodyBytes);
    // One line of chunk framing (size line, trailer); false while the line is incomplete.
    bool takeLine(const char*& data, qsizetype& size, QByteArray& line);

    Limits limits_;
    State state_ = State::Head;
    QByteArray head_;
    int status_ = 0;
    QString reason_;
    QByteArray location_;
    std::optional<qint64> contentLength_;
    Framing framing_ = Framing::UntilClose;
    ChunkPart chunkPart_ = ChunkPart::Size;
    qint64 chunkLeft_ = 0;
    QByteArray line_;
    QByteArray body_;
    QString error_;
};

}  // namespace melodrop
