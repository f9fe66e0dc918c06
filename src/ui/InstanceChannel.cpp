#include "ui/InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace melodrop::ui {

namespace {

const QByteArray kRaise = "raise";
const QByteArray kPlay = "play ";
const QByteArray kOk = "ok\n";
// Longer than any path the file system takes.
constexpr qsizetype kMaxPathBytes = 4096;

bool hasControlCharacters(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    return false;
}

}  // namespace

QByteArray encodeRequest(const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::Raise) return kRaise + '\n';
    const QByteArray path = request.file.toUtf8();
    if (path.isEmpty() || path.size() > kMaxPathBytes || hasControlCharacters(request.file) ||
        !QDir::isAbsolutePath(request.file))
        return {};
    return kPlay + path + '\n';
}

std::optional<InstanceRequest> decodeRequest(const QByteArray& line) {
    if (line == kRaise) return InstanceRequest{InstanceRequest::Kind::Raise, {}};
    if (!line.startsWith(kPlay)) return std::nullopt;
    const QByteArray bytes = line.mid(kPlay.size());
    if (bytes.isEmpty() || bytes.size() > kMaxPathBytes) return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString path = utf8(bytes);
    if (utf8.hasError() || hasControlCharacters(path) || !QDir::isAbsolutePath(path))
        return std::nullopt;
    return InstanceRequest{InstanceRequest::Kind::Play, QDir::cleanPath(path)};
}

bool isPrivateFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || info.isSymLink()) return false;
#ifdef Q_OS_WIN
    return true;
#else
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    return info.ownerId() == ::getuid() && (info.permissions() & others) == 0;
#endif
}

QString instanceSocketPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!isPrivateFolder(folder)) return {};
    return QDir(folder).filePath(QStringLiteral("melodrop.socket"));
}

InstanceServer::InstanceServer(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {}

InstanceServer::~InstanceServer() {
    if (server_) server_->close();
}

bool InstanceServer::listen() {
    if (server_) return server_->isListening();
    if (socketPath_.isEmpty() || !isPrivateFolder(QFileInfo(socketPath_).absolutePath()))
        return false;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->setMaxPendingConnections(kMaxOpenRequests);
    QLocalServer::removeServer(socketPath_);
    if (!server_->listen(socketPath_)) return false;
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
    return true;
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (open_.size() >= kMaxOpenRequests) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        open_ << socket;
        socket->setReadBufferSize(kMaxRequestBytes + 1);
        auto finish = [this, socket] {
            if (!open_.removeOne(socket)) return;
            socket->abort();
            socket->deleteLater();
        };
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, finish);
        // A peer that says nothing, or too little, is cut off.
        QTimer::singleShot(kRequestTimeoutMs, socket, finish);
        readFrom(socket);
    }
}

void InstanceServer::readFrom(QLocalSocket* socket) {
    if (!open_.contains(socket)) return;
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes) {
            open_.removeOne(socket);
            socket->abort();
            socket->deleteLater();
        }
        return;
    }
    QByteArray line = socket->readLine(kMaxRequestBytes + 1);
    line.chop(1);  // the line break
    const std::optional<InstanceRequest> request = decodeRequest(line);
    if (request) {
        socket->write(kOk);
        socket->flush();
    }
    open_.removeOne(socket);
    socket->disconnectFromServer();
    socket->deleteLater();
    if (request) emit requested(*request);
}

bool sendToRunningInstance(const InstanceRequest& request, QString* reason,
                           const QString& socketPath, int timeoutMs) {
    auto fail = [reason](const QString& why) {
        if (reason) *reason = why;
        return false;
    };
    if (socketPath.isEmpty())
        return fail(QStringLiteral("the runtime folder is not private to this user"));
    const QByteArray message = encodeRequest(request);
    if (message.isEmpty()) return fail(QStringLiteral("the file's path cannot be sent"));
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) return fail(socket.errorString());
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return fail(socket.errorString());
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < 16) {
        if (!socket.waitForReadyRead(timeoutMs))
            return fail(QStringLiteral("the running melodrop did not answer"));
        answer += socket.read(16);
    }
    if (answer != kOk) return fail(QStringLiteral("the running melodrop refused the request"));
    return true;
}

}  // namespace melodrop::ui
