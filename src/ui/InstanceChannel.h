#pragma once
// How a second start of melodrop reaches the running one: a local socket in the user's runtime
// folder ("melodrop.socket"), used only when that folder is the user's own and closed to
// everybody else. The second start sends one request, a line of UTF-8 text, and waits for "ok":
//   raise            bring the player window forward
//   play <path>      play the MP3 file at the absolute path, from its folder
// The running program takes whatever arrives as untrusted: at most kMaxRequestBytes within
// kRequestTimeoutMs, one line, a known word, a path that is absolute and free of control
// characters; anything else is dropped without an answer. Only a few connections are served at
// once.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace melodrop::ui {

inline constexpr qsizetype kMaxRequestBytes = 8192;
inline constexpr int kRequestTimeoutMs = 3000;
inline constexpr int kMaxOpenRequests = 4;

struct InstanceRequest {
    enum class Kind { Raise, Play };
    Kind kind = Kind::Raise;
    QString file;  // Play: the absolute path

    friend bool operator==(const InstanceRequest&, const InstanceRequest&) = default;
};

// The request as sent, with its closing line break; empty for a path that cannot be sent.
QByteArray encodeRequest(const InstanceRequest& request);
// The request a line (without its line break) asks for, if it is well formed.
std::optional<InstanceRequest> decodeRequest(const QByteArray& line);

// "melodrop.socket" in the user's runtime folder; "" when that folder is not the user's alone.
QString instanceSocketPath();
// Whether a folder belongs to this user and nobody else may enter or change it.
bool isPrivateFolder(const QString& folder);

// The running program's side.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QString socketPath = instanceSocketPath(), QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens, replacing a socket file a crashed program left (only the lock's holder listens).
    // False when there is no private folder or the socket cannot be made.
    bool listen();

signals:
    void requested(const melodrop::ui::InstanceRequest& request);

private:
    void accept();
    void readFrom(QLocalSocket* socket);

    QString socketPath_;
    QLocalServer* server_ = nullptr;
    QList<QLocalSocket*> open_;
};

// The second start's side: sends the request and waits for the running program's "ok".
// False, with the reason, when nothing answered in time.
bool sendToRunningInstance(const InstanceRequest& request, QString* reason,
                           const QString& socketPath = instanceSocketPath(),
                           int timeoutMs = kRequestTimeoutMs);

}  // namespace melodrop::ui
