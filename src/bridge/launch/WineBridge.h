#pragma once
// melodrop-bridge.exe started by melodrop itself, under the user's Wine, in the user's Wine
// prefix (WINEPREFIX, or Wine's own default), next to the chat client that runs there:
// - Wine: the program WINE names (as for winetricks), else `wine` on the PATH, else `wine64` on
//   the PATH, else the loader that Debian's wine64 package keeps off the PATH;
// - the bridge: the first of the places given that holds it (FileLocations knows them);
// - the port: the one given, else the bridge's default port when it is free, else a free one,
//   chosen at the first start and kept, so that a bridge started again is where the first was;
// - the token: the bridge writes a fresh one where both programs find it by one rule
//   ($XDG_RUNTIME_DIR/melodrop-bridge.token: bridge/protocol/TokenPlace.h), or in the file given.
//   That default file goes with the default port: a bridge on another port (the default one
//   being taken, perhaps by a bridge the user started) writes melodrop-bridge-PORT.token beside
//   it, so that it never replaces the token of the bridge on the default port.
// The bridge gets melodrop's end of a pipe as its standard input (--end-with-input): it ends,
// removing its token, when that closes, which the system does when melodrop ends in any way
// (killed too). stop() closes it now, and kills a bridge that has not ended soon after.
// Used by the program (app/clients/WineChatClient) and by the scenario runner, which start it
// alike.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

namespace melodrop {

// Where Wine's loader may lie off the PATH: Debian's wine64 package keeps it there.
inline const QStringList kWineOffPath = {QStringLiteral("/usr/lib/wine/wine64")};

class WineBridge {
public:
    struct Setup {
        QStringList bridgePlaces;  // where melodrop-bridge.exe may lie, in lookup order
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        quint16 port = 0;   // 0: the default port when it is free, else any free port
        QString tokenFile;  // "": the default place, by the rule, in `environment` (see above)
        QStringList wineOffPath = kWineOffPath;  // looked at after WINE and the PATH
    };
    // How long stop() waits for the bridge to end by itself before it is killed.
    static constexpr int kStopMs = 3000;

    explicit WineBridge(Setup setup);
    ~WineBridge();
    WineBridge(const WineBridge&) = delete;
    WineBridge& operator=(const WineBridge&) = delete;

    // Starts the bridge; false when it cannot be started, and error() says why and what to do.
    bool start();
    // Waits, up to `ms`, until the bridge says that it listens; false when it ended or did not
    // say so in time. (The program does not wait: it connects whenever the bridge is there.)
    bool waitUntilListening(int ms);
    // Ends the bridge (its input closes: it removes its token and ends; killed when it has not
    // ended within kStopMs). Not told through onEnded.
    void stop();

    bool running() const { return process_.state() != QProcess::NotRunning; }
    qint64 processId() const { return process_.processId(); }
    quint16 port() const { return port_; }
    // The token file, by the rule or as given ("" when the rule gives none: see error()).
    QString tokenFile() const { return tokenFile_; }
    QString wine() const { return wine_; }
    // The Wine prefix the bridge runs in.
    QString prefix() const;
    QString bridgeProgram() const { return bridgeProgram_; }
    QString error() const { return error_; }

    // Each line the bridge (or Wine) prints, and the bridge's end when stop() did not end it,
    // with what it said last.
    std::function<void(const QString& line)> onOutput;
    std::function<void(const QString& why)> onEnded;

    // Where Wine is for `environment` ("" when nowhere).
    static QString findWine(const QProcessEnvironment& environment,
                            const QStringList& offPath = kWineOffPath);
    // The Windows path of a Linux file, as Wine sees it (its Z: drive).
    static QString winePath(const QString& linuxPath);
    // Where a bridge on `port` started without a token file named keeps its token: by the rule
    // in the runtime folder that `environment` names, with the port in its name when it is not
    // the default one; "" with `why` when the rule gives no place.
    static QString defaultTokenFile(const QProcessEnvironment& environment, quint16 port,
                                    QString& why);

private:
    bool fail(const QString& why);
    void readOutput();
    void ended(int exitCode, QProcess::ExitStatus status);

    Setup setup_;
    QProcess process_;
    QString wine_;
    QString bridgeProgram_;
    QString tokenFile_;
    quint16 port_ = 0;
    QString error_;
    QString lastWords_;  // the bridge's last line
    QByteArray pending_;
    bool listening_ = false;
    bool stopping_ = false;
};

}  // namespace melodrop
