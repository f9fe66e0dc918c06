#pragma once
// The fake chat client made of real Win32 windows, under Wine, as a scenario's client: the
// runner acts as its user and members through fake-client-ctl.exe (which speaks to the client's
// control window), and the program reaches it through melodrop-bridge.exe and
// RemoteWindowSystem, as a real user's melodrop would. Everything runs in real time.
//
// Where things are: the Windows programs in `windowsBin` (the cross-build's bin folder), Wine's
// wine64 in WINE or as found on the PATH or in /usr/lib/wine, the Wine prefix in WINEPREFIX
// (the caller makes it, see scripts/with-wine-prefix.sh: it takes about 20 s).
//
// The bridge is started by the client itself (its token in a file of the run's own), or, as
// `melodrop --client wine` starts it, by WineBridge: with the token in its default place, in a
// runtime folder of the run's own, and ended by closing its input.
#include <QProcess>
#include <QString>
#include <memory>

#include "bridge/client/RemoteWindowSystem.h"
#include "bridge/launch/WineBridge.h"
#include "scenario/ScenarioClient.h"

namespace melodrop::scenario {

enum class BridgeStart { Own, AsTheProgram };

class Win32ScenarioClient : public ScenarioClient {
public:
    Win32ScenarioClient(const QString& windowsBin, const QString& workFolder,
                        BridgeStart bridgeStart = BridgeStart::Own);
    ~Win32ScenarioClient() override;

    QString startError() const override { return error_; }
    aol::WindowSystem& windows() override { return *remote_; }
    bool realTime() const override { return true; }
    void attach(VirtualClock& clock, std::function<void()> changed) override;
    void watchLink(std::function<void(const aol::LinkStatus&)> listener) override;

    std::string signedOnUser() override;
    void signOn(const std::string& name) override;
    void openRoom(const std::string& name) override;
    std::string currentRoom() override;
    std::vector<std::string> members() override;
    void userTypes(const std::string& line) override;
    void memberSays(const std::string& name, const std::string& line) override;
    void memberJoins(const std::string& name) override;
    void memberLeaves(const std::string& name) override;
    bool isIgnored(const std::string& name) override;
    bool imsReceptionOn() override;
    void setImSwitchShowsAlert(bool on) override;
    std::vector<std::string> keywords() override;
    bool alertShowing() override;
    std::vector<Room> rooms() override;

    bool stopBridge() override;
    bool startBridge() override;

    // The processes, for measuring what they cost (0 when not running).
    qint64 bridgeProcessId() const {
        return wineBridge_ ? wineBridge_->processId() : bridge_.processId();
    }
    quint16 bridgePort() const { return port_; }
    QString tokenFile() const { return tokenFile_; }

private:
    std::string command(const std::vector<std::string>& words);
    std::vector<std::string> listCommand(const std::vector<std::string>& words);
    bool startProcess(QProcess& process, const QStringList& arguments, const QString& readyText,
                      int timeoutMs);

    QString wine_;
    QString windowsBin_;
    QString tokenFile_;
    quint16 port_ = 0;
    QProcess control_;
    QProcess bridge_;
    QMetaObject::Connection bridgeLog_;
    std::unique_ptr<WineBridge> wineBridge_;  // when started as the program does
    std::unique_ptr<aol::RemoteWindowSystem> remote_;
    QString error_;
};

}  // namespace melodrop::scenario
