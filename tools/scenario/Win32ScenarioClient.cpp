#include "scenario/Win32ScenarioClient.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>
#include <cstdio>
#include <string>

#include "base/VirtualClock.h"

namespace melodrop::scenario {
namespace {

constexpr char kWordSeparator = '\x1F';  // between the words of a fake-client-ctl command
constexpr int kStartMs = 60000;          // Wine may be slow to start a program
constexpr int kAnswerMs = 20000;

QString FindWine() {
    const QString given = qEnvironmentVariable("WINE");
    if (!given.isEmpty()) return given;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("wine64"));
    if (!onPath.isEmpty()) return onPath;
    const QString debian = QStringLiteral("/usr/lib/wine/wine64");
    return QFileInfo(debian).isExecutable() ? debian : QString();
}

// The Windows path of a Linux file as Wine sees it.
QString WinePath(const QString& linuxPath) {
    QString path = QStringLiteral("Z:") + QDir::cleanPath(QFileInfo(linuxPath).absoluteFilePath());
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path;
}

quint16 FreePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

// The program's way: WineBridge, with a runtime folder of the run's own (so that runs at the
// same time do not share a token) and a free port (as --bridge-port gives one). The token is
// where WineBridge puts it in that folder.
std::unique_ptr<WineBridge> ProgramsBridge(const QString& windowsBin, const QString& runtime,
                                           quint16 port) {
    WineBridge::Setup setup;
    setup.bridgePlaces = {QDir(windowsBin).filePath(QStringLiteral("melodrop-bridge.exe"))};
    setup.environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    setup.port = port;
    return std::make_unique<WineBridge>(setup);
}

}  // namespace

Win32ScenarioClient::Win32ScenarioClient(const QString& windowsBin, const QString& workFolder,
                                         BridgeStart bridgeStart)
    : wine_(FindWine()), windowsBin_(windowsBin) {
    tokenFile_ = QDir(workFolder).filePath(QStringLiteral("bridge.token"));
    port_ = FreePort();
    if (bridgeStart == BridgeStart::AsTheProgram) {
        const QString runtime = QDir(workFolder).filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        wineBridge_ = ProgramsBridge(windowsBin, runtime, port_);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        QString noPlace;
        tokenFile_ = WineBridge::defaultTokenFile(environment, port_, noPlace);
        wineBridge_->onOutput = [](const QString& line) {
            std::fprintf(stderr, "bridge: %s\n", line.toLocal8Bit().constData());
        };
        wineBridge_->onEnded = [](const QString& ending) {
            std::fprintf(stderr, "bridge: %s\n", ending.toLocal8Bit().constData());
        };
    }
    aol::RemoteOptions options;
    options.port = port_;
    options.tokenFile = QFile::encodeName(tokenFile_).toStdString();
    options.retrySeconds = 0.2;
    remote_ = std::make_unique<aol::RemoteWindowSystem>(options);
    if (wine_.isEmpty()) {
        error_ = QStringLiteral("wine64 is not installed (scripts/install-deps.sh installs it)");
        return;
    }
    if (qEnvironmentVariableIsEmpty("WINEPREFIX")) {
        error_ = QStringLiteral("WINEPREFIX is not set: the Win32 client needs a Wine prefix");
        return;
    }
    if (port_ == 0) {
        error_ = QStringLiteral("no free port for the bridge");
        return;
    }
    if (!startProcess(control_, {QDir(windowsBin_).filePath(QStringLiteral("fake-client-ctl.exe"))},
                      QStringLiteral("ready"), kStartMs)) {
        return;
    }
    startBridge();
}

Win32ScenarioClient::~Win32ScenarioClient() {
    stopBridge();
    if (control_.state() != QProcess::NotRunning) {
        control_.closeWriteChannel();  // the client ends with its input
        if (!control_.waitForFinished(10000)) control_.kill();
        control_.waitForFinished(2000);
    }
}

bool Win32ScenarioClient::startProcess(QProcess& process, const QStringList& arguments,
                                       const QString& readyText, int timeoutMs) {
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(wine_, arguments);
    if (!process.waitForStarted(timeoutMs)) {
        error_ = QStringLiteral("cannot start ") + arguments.join(QLatin1Char(' '));
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    QByteArray seen;
    while (waited.elapsed() < timeoutMs) {
        if (!process.canReadLine() && !process.waitForReadyRead(500)) {
            if (process.state() == QProcess::NotRunning) break;
            continue;
        }
        while (process.canReadLine()) {
            const QByteArray line = process.readLine();
            seen += line;
            if (line.contains(readyText.toUtf8())) return true;
        }
    }
    error_ = arguments.first() + QStringLiteral(" did not get ready: ") +
             QString::fromUtf8(seen + process.readAllStandardError()).trimmed();
    return false;
}

bool Win32ScenarioClient::startBridge() {
    if (wineBridge_) {
        if (wineBridge_->running()) return true;
        if (!wineBridge_->start()) {
            error_ = QStringLiteral("the bridge as the program starts it: ") + wineBridge_->error();
            return false;
        }
        if (wineBridge_->waitUntilListening(kStartMs)) return true;
        error_ = QStringLiteral("melodrop-bridge.exe did not get ready");
        return false;
    }
    if (bridge_.state() != QProcess::NotRunning) return true;
    const bool started =
        startProcess(bridge_,
                     {QDir(windowsBin_).filePath(QStringLiteral("melodrop-bridge.exe")),
                      QStringLiteral("--port"), QString::number(port_),
                      QStringLiteral("--token-file"), WinePath(tokenFile_)},
                     QStringLiteral("listening"), kStartMs);
    if (!started) return false;
    // What the bridge says on its console from now on goes to the runner's error output: it
    // tells what happened between the program and the client when a scenario fails.
    bridgeLog_ = QObject::connect(&bridge_, &QProcess::readyReadStandardOutput, [this] {
        while (bridge_.canReadLine())
            std::fprintf(stderr, "bridge: %s", bridge_.readLine().constData());
    });
    return true;
}

bool Win32ScenarioClient::stopBridge() {
    if (wineBridge_) {
        // As when the program ends: the bridge's input closes, and it ends by itself.
        if (!wineBridge_->running()) return false;
        wineBridge_->stop();
        return true;
    }
    if (bridge_.state() == QProcess::NotRunning) return false;
    QObject::disconnect(bridgeLog_);
    bridge_.kill();
    bridge_.waitForFinished(10000);
    return true;
}

void Win32ScenarioClient::attach(VirtualClock& clock, std::function<void()> changed) {
    // The bridge says when a room may have changed; its word is taken at every pump.
    remote_->setChangeListener(std::move(changed));
    clock.addPumpHook([this] { remote_->Drain(); });
}

void Win32ScenarioClient::watchLink(std::function<void(const aol::LinkStatus&)> listener) {
    remote_->watchStatus(std::move(listener));
}

std::string Win32ScenarioClient::command(const std::vector<std::string>& words) {
    if (control_.state() != QProcess::Running) return {};
    QByteArray line;
    for (const std::string& word : words) {
        if (!line.isEmpty()) line += kWordSeparator;
        line += QByteArray::fromStdString(word);
    }
    control_.write(line + '\n');
    control_.waitForBytesWritten(kAnswerMs);
    QElapsedTimer waited;
    waited.start();
    while (!control_.canReadLine() && waited.elapsed() < kAnswerMs) control_.waitForReadyRead(100);
    const long long size = control_.readLine().trimmed().toLongLong();
    if (size <= 0) return {};
    QByteArray answer;
    while (answer.size() < size && waited.elapsed() < kAnswerMs) {
        if (control_.bytesAvailable() == 0) control_.waitForReadyRead(100);
        answer += control_.read(size - answer.size());
    }
    return answer.toStdString();
}

std::vector<std::string> Win32ScenarioClient::listCommand(const std::vector<std::string>& words) {
    std::vector<std::string> out;
    const std::string text = command(words);
    if (text.empty()) return out;
    for (const QByteArray& line : QByteArray::fromStdString(text).split('\n'))
        out.push_back(line.toStdString());
    return out;
}

std::string Win32ScenarioClient::signedOnUser() {
    return command({"user"});
}
void Win32ScenarioClient::signOn(const std::string& name) {
    command({"signon", name});
}
void Win32ScenarioClient::openRoom(const std::string& name) {
    command({"room", name});
}
std::string Win32ScenarioClient::currentRoom() {
    const std::vector<std::string> open = listCommand({"rooms"});
    return open.empty() ? std::string() : open.front();
}
std::vector<std::string> Win32ScenarioClient::members() {
    return listCommand({"members"});
}
void Win32ScenarioClient::userTypes(const std::string& line) {
    command({"type", line, "1"});
}
void Win32ScenarioClient::memberSays(const std::string& name, const std::string& line) {
    command({"say", name, line});
}
void Win32ScenarioClient::memberJoins(const std::string& name) {
    command({"join", name});
}
void Win32ScenarioClient::memberLeaves(const std::string& name) {
    command({"leave", name});
}
bool Win32ScenarioClient::isIgnored(const std::string& name) {
    return command({"ignored", name}) == "1";
}
bool Win32ScenarioClient::imsReceptionOn() {
    return command({"imson"}) == "1";
}
void Win32ScenarioClient::setImSwitchShowsAlert(bool on) {
    command({"imalert", on ? "1" : "0"});
}
std::vector<std::string> Win32ScenarioClient::keywords() {
    return listCommand({"keywords"});
}

bool Win32ScenarioClient::alertShowing() {
    return command({"alert"}) == "1";
}

std::vector<ScenarioClient::Room> Win32ScenarioClient::rooms() {
    // The client answers for its open room.
    const std::string open = currentRoom();
    if (open.empty()) return {};
    return {Room{0, open, listCommand({"transcript"})}};
}

}  // namespace melodrop::scenario
