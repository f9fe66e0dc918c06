#include "localserver/LocalHttpServer.h"

#include <QHostAddress>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace melodrop {

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

QByteArray head(int status, qsizetype contentLength) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
           "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
           QByteArray::number(contentLength) + "\r\nConnection: close\r\n\r\n";
}

// A request path percent-decoded: as UTF-8 when the bytes are UTF-8, else as Latin-1 (a client
// that sends the bytes of a single-byte name).
QString decodedPath(const QByteArray& target) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(target);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// How much of an endless answer waits in the socket at most, and the piece written at a time.
constexpr qint64 kOutgoingBytes = 256 * 1024;
constexpr qsizetype kPiece = 64 * 1024;

}  // namespace

LocalHttpServer::LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
}

LocalHttpServer::~LocalHttpServer() {
    // Sockets are children of the server; close them before the handlers' state goes.
    for (QTcpSocket* socket : pending_.keys()) socket->disconnect();
    server_.close();
}

QString LocalHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

QString LocalHttpServer::refusingBaseUrl() {
    // Take a free port and let it go again: nothing listens there afterwards.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

void LocalHttpServer::serve(const QString& path, const QByteArray& body, int status) {
    answers_[path] = {Answer::Kind::Body, status, body, body.size()};
}

void LocalHttpServer::serveSilence(const QString& path) {
    answers_[path] = {Answer::Kind::Silence, 0, {}, 0};
}

void LocalHttpServer::serveCutOff(const QString& path, const QByteArray& body,
                                  qsizetype bytesSent) {
    answers_[path] = {Answer::Kind::CutOff, 200, body, bytesSent};
}

void LocalHttpServer::serveHostile(const QString& path, Hostile kind) {
    Answer a;
    a.kind = Answer::Kind::Hostile;
    a.hostile = kind;
    answers_[path] = a;
}

void LocalHttpServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        pending_.insert(socket, {});
        QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { read(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, [this, socket] {
            pending_.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::read(QTcpSocket* socket) {
    auto it = pending_.find(socket);
    if (it == pending_.end()) return;
    it.value() += socket->readAll();
    const qsizetype end = it.value().indexOf("\r\n\r\n");
    if (end < 0) return;
    // "GET /path?query HTTP/1.1"
    const QList<QByteArray> requestLine = it.value().left(it.value().indexOf("\r\n")).split(' ');
    it.value().clear();
    QByteArray target = requestLine.size() > 1 ? requestLine.at(1) : QByteArray("/");
    if (const qsizetype query = target.indexOf('?'); query >= 0) target.truncate(query);
    const QString path = decodedPath(target);
    requests_ << path;
    if (onRequest) onRequest(path);
    answer(socket, path);
}

void LocalHttpServer::answer(QTcpSocket* socket, const QString& path) {
    const auto found = answers_.constFind(path);
    if (found == answers_.constEnd()) {
        const QByteArray body = "not found";
        socket->write(head(404, body.size()) + body);
        socket->disconnectFromHost();
        return;
    }
    const Answer& a = found.value();
    switch (a.kind) {
        case Answer::Kind::Silence:
            return;
        case Answer::Kind::Hostile:
            return startHostile(socket, a.hostile, path);
        case Answer::Kind::Body:
            socket->write(head(a.status, a.body.size()) + a.body);
            break;
        case Answer::Kind::CutOff:
            socket->write(head(a.status, a.body.size()) + a.body.left(a.bytesSent));
            break;
    }
    socket->disconnectFromHost();  // after the buffered bytes are written
}

}  // namespace melodrop

namespace melodrop {

void LocalHttpServer::send(QTcpSocket* socket, const QByteArray& bytes) {
    hostileBytesSent_ += bytes.size();
    socket->write(bytes);
}

void LocalHttpServer::startHostile(QTcpSocket* socket, Hostile kind, const QString& path) {
    switch (kind) {
        case Hostile::NoLength:
            send(socket,
                 "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                 "Connection: close\r\n\r\n");
            break;
        case Hostile::Chunked:
            send(socket,
                 "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                 "Transfer-Encoding: chunked\r\n\r\n");
            break;
        case Hostile::HugeHeader:
            send(socket, "HTTP/1.1 200 OK\r\nX-Filler: ");
            break;
        case Hostile::RedirectLoop:
            send(socket, "HTTP/1.1 302 Found\r\nLocation: " + QUrl::toPercentEncoding(path, "/") +
                             "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        case Hostile::Trickle: {
            send(socket,
                 "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                 "Connection: close\r\n\r\n");
            auto* timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket,
                             [this, socket] { send(socket, "x"); });
            timer->start(trickleIntervalMs_);
            return;
        }
    }
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                     [this, socket, kind] { feed(socket, kind); });
    feed(socket, kind);
}

void LocalHttpServer::feed(QTcpSocket* socket, Hostile kind) {
    if (socket->state() != QAbstractSocket::ConnectedState) return;
    static const QByteArray piece(kPiece, 'a');
    static const QByteArray chunk = QByteArray::number(kPiece, 16) + "\r\n" + piece + "\r\n";
    while (socket->bytesToWrite() < kOutgoingBytes)
        send(socket, kind == Hostile::Chunked ? chunk : piece);
}

}  // namespace melodrop
