#pragma once
// A small HTTP server on 127.0.0.1 for scenarios (the update server): each path is given a
// body; other paths get 404. It is served by the program's own event loop, so a transfer that
// blocks in a local event loop is answered while it waits. Requests are logged.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace melodrop::scenario {

class ScenarioHttpServer {
public:
    ScenarioHttpServer();
    ~ScenarioHttpServer();
    ScenarioHttpServer(const ScenarioHttpServer&) = delete;
    ScenarioHttpServer& operator=(const ScenarioHttpServer&) = delete;

    bool isListening() const { return server_.isListening(); }
    QString errorString() const { return server_.errorString(); }
    // "http://127.0.0.1:<port>"
    QString baseUrl() const;

    // path as requested, percent-decoded ("/zeph/melodrop/melodrop update.zip").
    void serve(const QString& path, const QByteArray& body, int status = 200);
    const QStringList& requestedPaths() const { return requested_; }

private:
    struct Answer {
        int status = 200;
        QByteArray body;
    };
    void accept();
    void read(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QStringList requested_;
};

}  // namespace melodrop::scenario
