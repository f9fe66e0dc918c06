#include "net/QtWebTransfer.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>
#if QT_CONFIG(ssl)
#include <QSslSocket>
#endif

#include "net/HttpResponseParser.h"

namespace melodrop {

namespace {

constexpr qint64 kReadPiece = 64 * 1024;

QString seconds(std::chrono::milliseconds limit) {
    return QString::number(static_cast<double>(limit.count()) / 1000.0);
}

bool isWebScheme(const QString& scheme) {
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QByteArray requestFor(const QUrl& url) {
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty()) target = "/";
    if (url.hasQuery()) target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':')) host = '[' + host + ']';
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    if (url.port(defaultPort) != defaultPort) host += ':' + QByteArray::number(url.port());
    return "GET " + target + " HTTP/1.1\r\nHost: " + host +
           "\r\nUser-Agent: melodrop\r\nAccept: */*\r\n"
           // The body is stored exactly as sent, and its length can be checked.
           "Accept-Encoding: identity\r\nConnection: close\r\n\r\n";
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One fetch: the exchanges with the server (one more for each redirect) and the waiting.
class Fetch {
public:
    Fetch(const TransferLimits& limits, const QUrl& url) : limits_(limits), url_(url) {
        window_.setSingleShot(true);
        total_.setSingleShot(true);
        QObject::connect(&window_, &QTimer::timeout, [this] { windowEnded(); });
        QObject::connect(&total_, &QTimer::timeout, [this] {
            finish(
                QStringLiteral("the transfer took longer than %1 s").arg(seconds(limits_.total)));
        });
    }
    ~Fetch() { dropSocket(); }

    // Blocks (with events running) until the answer is whole or the transfer gave up; the body,
    // or "" and the reason.
    std::pair<QByteArray, QString> run() {
        window_.start(limits_.window);
        total_.start(limits_.total);
        exchange();
        if (!finished_) loop_.exec();
        // The loop also ends when the application quits during the wait.
        if (!finished_) finish(QStringLiteral("the transfer was interrupted"));
        window_.stop();
        total_.stop();
        dropSocket();
        if (!reason_.isEmpty()) return {{}, reason_};
        return {parser_->takeBody(), {}};
    }

private:
    void exchange() {
        dropSocket();
        parser_.emplace(HttpResponseParser::Limits{limits_.maxHeadBytes, limits_.maxBodyBytes});
        const bool secure = url_.scheme() == QLatin1String("https");
#if QT_CONFIG(ssl)
        if (secure) {
            if (!QSslSocket::supportsSsl())
                return finish(QStringLiteral("https is not available on this system"));
            socket_ = new QSslSocket;
        }
#else
        if (secure) return finish(QStringLiteral("https is not available on this system"));
#endif
        if (!socket_) socket_ = new QTcpSocket;
        socket_->setReadBufferSize(limits_.readBufferBytes);
        QTcpSocket* socket = socket_;
        const auto sendRequest = [this, socket] { socket->write(requestFor(url_)); };
#if QT_CONFIG(ssl)
        if (secure)
            QObject::connect(static_cast<QSslSocket*>(socket), &QSslSocket::encrypted, sendRequest);
        else
#endif
            QObject::connect(socket, &QTcpSocket::connected, sendRequest);
        QObject::connect(socket, &QTcpSocket::readyRead, [this] { read(); });
        QObject::connect(socket, &QTcpSocket::disconnected, [this] { closed(); });
        QObject::connect(socket, &QTcpSocket::errorOccurred,
                         [this, socket](QAbstractSocket::SocketError error) {
                             // A close by the server is the end of an answer, not an error.
                             if (error == QAbstractSocket::RemoteHostClosedError) return closed();
                             finish(socket->errorString());
                         });
        const quint16 port = static_cast<quint16>(url_.port(secure ? 443 : 80));
#if QT_CONFIG(ssl)
        if (secure)
            static_cast<QSslSocket*>(socket)->connectToHostEncrypted(url_.host(), port);
        else
#endif
            socket->connectToHost(url_.host(), port);
    }

    void read() {
        while (!finished_ && socket_ && socket_->bytesAvailable() > 0) {
            const QByteArray piece = socket_->read(kReadPiece);
            if (piece.isEmpty()) break;
            const bool hadHead = parser_->headComplete();
            const qint64 bodyBytes = parser_->feed(piece);
            if (!hadHead && parser_->headComplete() && !headArrived()) return;
            windowBytes_ += bodyBytes;
            if (windowBytes_ >= limits_.minBytesPerWindow) restartWindow();
            judge();
        }
    }

    // The status and headers are in: go on, follow a redirect, or give up. False when the rest
    // of this answer is not wanted.
    bool headArrived() {
        const int status = parser_->status();
        if (isRedirect(status) && !parser_->location().isEmpty()) {
            if (++redirects_ > limits_.maxRedirects) {
                finish(
                    QStringLiteral("too many redirects (more than %1)").arg(limits_.maxRedirects));
                return false;
            }
            const QUrl next = url_.resolved(QUrl::fromEncoded(parser_->location()));
            if (!next.isValid() || !isWebScheme(next.scheme())) {
                finish(QStringLiteral("a redirect to %1, which is not a web address")
                           .arg(QString::fromLatin1(parser_->location())));
                return false;
            }
            if (url_.scheme() == QLatin1String("https") && next.scheme() == QLatin1String("http")) {
                finish(QStringLiteral("a redirect from https to http"));
                return false;
            }
            url_ = next;
            // Not from inside the old socket's own signal.
            QTimer::singleShot(0, &window_, [this] {
                if (!finished_) exchange();
            });
            dropSocket();
            return false;
        }
        if (status < 200 || status > 299) {
            finish(QStringLiteral("the server answered %1 %2").arg(status).arg(parser_->reason()));
            return false;
        }
        restartWindow();
        return true;
    }

    void closed() {
        if (finished_ || !socket_) return;
        read();
        if (finished_) return;
        parser_->endOfInput();
        judge();
    }

    void judge() {
        if (parser_->state() == HttpResponseParser::State::Failed) return finish(parser_->error());
        if (parser_->state() == HttpResponseParser::State::Done) finish({});
    }

    void windowEnded() {
        if (windowBytes_ == 0)
            return finish(QStringLiteral("no answer within %1 s").arg(seconds(limits_.window)));
        finish(QStringLiteral("the server is too slow: only %1 bytes arrived in %2 s")
                   .arg(windowBytes_)
                   .arg(seconds(limits_.window)));
    }

    void restartWindow() {
        windowBytes_ = 0;
        window_.start(limits_.window);
    }

    void finish(const QString& reason) {
        if (finished_) return;
        finished_ = true;
        reason_ = reason;
        loop_.quit();
    }

    void dropSocket() {
        if (!socket_) return;
        socket_->disconnect();
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }

    const TransferLimits& limits_;
    QUrl url_;
    QEventLoop loop_;
    QTimer window_;
    QTimer total_;
    QTcpSocket* socket_ = nullptr;
    std::optional<HttpResponseParser> parser_;
    qint64 windowBytes_ = 0;
    int redirects_ = 0;
    bool finished_ = false;
    QString reason_;
};

}  // namespace

QtWebTransfer::QtWebTransfer(TransferLimits limits) : limits_(limits) {}

FetchResult QtWebTransfer::fetch(const QString& url) {
    if (busy_) return {false, {}, url + QStringLiteral(": another transfer is still running")};
    const QUrl target(url);
    if (!target.isValid() || target.host().isEmpty() || !isWebScheme(target.scheme().toLower()))
        return {false, {}, url + QStringLiteral(": not a web address")};

    busy_ = true;
    auto [body, reason] = Fetch(limits_, target).run();
    busy_ = false;
    if (!reason.isEmpty()) return {false, {}, url + QStringLiteral(": ") + reason};
    return {true, std::move(body), {}};
}

}  // namespace melodrop
