#include "web/localserver/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>

namespace melodrop {

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
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
    const QString path = QUrl::fromPercentEncoding(target);
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
