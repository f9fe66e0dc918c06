#include "bridge/launch/WineBridge.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <string>

#include "bridge/protocol/BridgeProtocol.h"
#include "bridge/protocol/TokenPlace.h"

namespace melodrop {
namespace {

const QString kBridgeName = QStringLiteral("melodrop-bridge.exe");
const QByteArray kBridgeSays = "melodrop-bridge: ";

// The port asked for; else the default port when nothing listens there, so that a melodrop
// started with --client bridge finds this bridge too; else one the system has free.
quint16 choosePort(quint16 asked) {
    if (asked != 0) return asked;
    QTcpServer probe;
    if (probe.listen(QHostAddress::LocalHost, bridge::kDefaultPort)) return bridge::kDefaultPort;
    if (probe.listen(QHostAddress::LocalHost, 0)) return probe.serverPort();
    return 0;
}

bool isProgram(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

}  // namespace

WineBridge::WineBridge(Setup setup) : setup_(std::move(setup)) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
    QObject::connect(&process_, &QProcess::finished,
                     [this](int code, QProcess::ExitStatus status) { ended(code, status); });
}

WineBridge::~WineBridge() {
    stop();
}

QString WineBridge::findWine(const QProcessEnvironment& environment, const QStringList& offPath) {
    const QStringList path =
        environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const QString named = environment.value(QStringLiteral("WINE"));
    if (!named.isEmpty()) {
        if (named.contains(QLatin1Char('/'))) return isProgram(named) ? named : QString();
        return path.isEmpty() ? QString() : QStandardPaths::findExecutable(named, path);
    }
    if (!path.isEmpty()) {
        for (const QString& name : {QStringLiteral("wine"), QStringLiteral("wine64")}) {
            const QString found = QStandardPaths::findExecutable(name, path);
            if (!found.isEmpty()) return found;
        }
    }
    for (const QString& place : offPath)
        if (isProgram(place)) return place;
    return {};
}

QString WineBridge::winePath(const QString& linuxPath) {
    QString path = QStringLiteral("Z:") + QDir::cleanPath(QFileInfo(linuxPath).absoluteFilePath());
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path;
}

QString WineBridge::prefix() const {
    const QString given = setup_.environment.value(QStringLiteral("WINEPREFIX"));
    if (!given.isEmpty()) return given;
    return setup_.environment.value(QStringLiteral("HOME"), QDir::homePath()) +
           QStringLiteral("/.wine");
}

bool WineBridge::fail(const QString& why) {
    error_ = why;
    return false;
}

bool WineBridge::start() {
    if (running()) return true;
    error_.clear();
    lastWords_.clear();
    pending_.clear();
    listening_ = false;
    stopping_ = false;

    wine_ = findWine(setup_.environment, setup_.wineOffPath);
    if (wine_.isEmpty()) {
        const QString named = setup_.environment.value(QStringLiteral("WINE"));
        return fail(named.isEmpty()
                        ? QStringLiteral("Wine is not installed: there is no wine and no wine64 "
                                         "on the PATH. Install Wine (on Debian: apt install "
                                         "wine), then start melodrop again.")
                        : QStringLiteral("WINE names %1, which is not a program: name your "
                                         "Wine loader, or unset WINE.")
                              .arg(named));
    }
    bridgeProgram_.clear();
    for (const QString& place : setup_.bridgePlaces) {
        if (QFileInfo(place).isFile()) {
            bridgeProgram_ = place;
            break;
        }
    }
    if (bridgeProgram_.isEmpty()) {
        return fail(QStringLiteral("%1 is not found (looked for it as %2). Install melodrop "
                                   "again with the bridge (make install), or start the bridge "
                                   "yourself and run melodrop with --client bridge.")
                        .arg(kBridgeName, setup_.bridgePlaces.join(QStringLiteral(", "))));
    }
    if (port_ == 0) port_ = choosePort(setup_.port);
    if (port_ == 0) return fail(QStringLiteral("there is no free port on 127.0.0.1 for it"));
    tokenFile_ = setup_.tokenFile;
    if (tokenFile_.isEmpty()) {
        QString why;
        tokenFile_ = defaultTokenFile(setup_.environment, port_, why);
        if (tokenFile_.isEmpty()) return fail(why);
    }

    QStringList arguments = {bridgeProgram_, QStringLiteral("--port"), QString::number(port_),
                             QStringLiteral("--end-with-input")};
    // On the default port without a file given, the bridge finds the same place by the rule.
    if (!setup_.tokenFile.isEmpty() || port_ != bridge::kDefaultPort)
        arguments << QStringLiteral("--token-file") << winePath(tokenFile_);
    QProcessEnvironment environment = setup_.environment;
    // Wine's notes on what it does not implement say nothing to a user.
    if (!environment.contains(QStringLiteral("WINEDEBUG")))
        environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    process_.setProcessEnvironment(environment);
    process_.start(wine_, arguments);
    if (!process_.waitForStarted()) {
        return fail(
            QStringLiteral("%1 could not be started: %2").arg(wine_, process_.errorString()));
    }
    return true;
}

QString WineBridge::defaultTokenFile(const QProcessEnvironment& environment, quint16 port,
                                     QString& why) {
    const QString runtimeVariable = QStringLiteral("XDG_RUNTIME_DIR");
    const QByteArray runtime = QFile::encodeName(environment.value(runtimeVariable));
    std::string noPlace;
    const QString byRule = QFile::decodeName(QByteArray::fromStdString(bridge::DefaultTokenPathFor(
        environment.contains(runtimeVariable) ? runtime.constData() : nullptr, noPlace)));
    why = QString::fromStdString(noPlace);
    if (byRule.isEmpty() || port == bridge::kDefaultPort) return byRule;
    return QFileInfo(byRule).dir().filePath(QStringLiteral("melodrop-bridge-%1.token").arg(port));
}

bool WineBridge::waitUntilListening(int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!listening_ && running() && waited.elapsed() < ms) process_.waitForReadyRead(100);
    return listening_;
}

void WineBridge::stop() {
    if (!running()) return;
    stopping_ = true;
    process_.closeWriteChannel();
    if (process_.waitForFinished(kStopMs)) return;
    process_.kill();
    process_.waitForFinished(1000);
}

void WineBridge::readOutput() {
    pending_ += process_.readAllStandardOutput();
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) continue;
        if (line.contains("listening on 127.0.0.1:")) listening_ = true;
        const QString text = QString::fromLocal8Bit(line);
        lastWords_ = line.startsWith(kBridgeSays) ? text.mid(kBridgeSays.size()) : text;
        if (onOutput) onOutput(text);
    }
}

void WineBridge::ended(int exitCode, QProcess::ExitStatus status) {
    readOutput();
    listening_ = false;
    if (stopping_) return;
    QString why = status == QProcess::CrashExit
                      ? QStringLiteral("melodrop-bridge was ended (by a signal)")
                      : QStringLiteral("melodrop-bridge ended (exit code %1)").arg(exitCode);
    if (!lastWords_.isEmpty()) why += QStringLiteral(": ") + lastWords_;
    if (onEnded) onEnded(why);
}

}  // namespace melodrop
