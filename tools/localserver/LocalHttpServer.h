#pragma once
// A real HTTP server on 127.0.0.1 for tests and scenarios (the update server), served by the
// program's own event loop (so a client that blocks in a local event loop is answered while it
// waits). Each path is given an answer:
// a body with a status code, silence, a body cut off before its announced length, or one of the
// hostile answers below. Unknown paths get 404. Paths are matched percent-decoded ("/a b.zip"
// matches "/a%20b.zip"); bytes that are not UTF-8 decode as Latin-1 ("/caf\u00e9" matches
// "/caf%E9" as well as "/caf%C3%A9").
//
// Hostile answers send as fast as the client takes them (the server never buffers more than a
// little of what it sends, so its own memory stays flat) until the client gives up:
// - NoLength: a 200 answer without Content-Length whose body never ends;
// - Chunked: the same in chunked transfer coding;
// - Trickle: a 200 answer whose body comes one byte per trickle interval, for ever;
// - HugeHeader: a status line, then one header line that never ends;
// - RedirectLoop: a redirect to the same path, every time.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <functional>

class QTcpSocket;

namespace melodrop {

class LocalHttpServer {
public:
    LocalHttpServer();  // listens on a free port
    bool isListening() const { return server_.isListening(); }
    QString errorString() const { return server_.errorString(); }
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // "http://127.0.0.1:<port>", no trailing slash.
    QString baseUrl() const;
    QString url(const QString& path) const { return baseUrl() + path; }
    // An address on 127.0.0.1 where nothing listens: connecting is refused.
    static QString refusingBaseUrl();

    void serve(const QString& path, const QByteArray& body, int status = 200);
    // Reads the request and never answers; the connection stays open until the client gives up.
    void serveSilence(const QString& path);
    // Announces the whole body's Content-Length, sends only its first bytesSent bytes, closes.
    void serveCutOff(const QString& path, const QByteArray& body, qsizetype bytesSent);

    enum class Hostile { NoLength, Chunked, Trickle, HugeHeader, RedirectLoop };
    void serveHostile(const QString& path, Hostile kind);
    void setTrickleInterval(int milliseconds) { trickleIntervalMs_ = milliseconds; }
    // Bytes the hostile answers have sent so far, headers included.
    qint64 hostileBytesSent() const { return hostileBytesSent_; }

    // Runs when a request has been read, before it is answered.
    std::function<void(const QString& path)> onRequest;

    int requestCount() const { return static_cast<int>(requests_.size()); }
    int requestCount(const QString& path) const { return static_cast<int>(requests_.count(path)); }
    QStringList requestedPaths() const { return requests_; }

private:
    struct Answer {
        enum class Kind { Body, Silence, CutOff, Hostile } kind = Kind::Body;
        int status = 200;
        QByteArray body;
        qsizetype bytesSent = 0;
        Hostile hostile = Hostile::NoLength;
    };
    void accept();
    void read(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& path);
    void startHostile(QTcpSocket* socket, Hostile kind, const QString& path);
    // Tops up the socket's outgoing buffer with more of an endless answer.
    void feed(QTcpSocket* socket, Hostile kind);
    void send(QTcpSocket* socket, const QByteArray& bytes);

    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QStringList requests_;
    int trickleIntervalMs_ = 1000;
    qint64 hostileBytesSent_ = 0;
};

}  // namespace melodrop
