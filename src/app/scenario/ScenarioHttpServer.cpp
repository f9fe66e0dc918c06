#include "app/scenario/ScenarioHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>

namespace melodrop::scenario {

namespace {

constexpr qsizetype kMaxRequestBytes = 64 * 1024;

QByteArray reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

ScenarioHttpServer::ScenarioHttpServer() {
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { accept(); });
    server_.listen(QHostAddress::LocalHost, 0);
}

ScenarioHttpServer::~ScenarioHttpServer() {
    const auto sockets = pending_.keys();
    for (QTcpSocket* socket : sockets) socket->abort();
    server_.close();
}

QString ScenarioHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

void ScenarioHttpServer::serve(const QString& path, const QByteArray& body, int status) {
    answers_[path] = Answer{status, body};
}

void ScenarioHttpServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(&server_);
        pending_.insert(socket, {});
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            pending_.remove(socket);
            socket->deleteLater();
        });
    }
}

void ScenarioHttpServer::read(QTcpSocket* socket) {
    QByteArray& request = pending_[socket];
    request += socket->readAll();
    const qsizetype headEnd = request.indexOf("\r\n\r\n");
    if (headEnd < 0 && request.size() < kMaxRequestBytes) return;

    // "GET /path HTTP/1.1"
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() >= 2
                             ? QUrl::fromPercentEncoding(requestLine[1].split('?').first())
                             : QString();
    requested_ << path;
    const auto found = answers_.constFind(path);
    const Answer answer = found != answers_.constEnd() ? found.value() : Answer{404, "not found"};

    QByteArray response =
        "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reason(answer.status) + "\r\n";
    response += "Content-Type: application/octet-stream\r\n";
    response += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += answer.body;
    pending_[socket].clear();
    socket->write(response);
    socket->disconnectFromHost();
}

}  // namespace melodrop::scenario
