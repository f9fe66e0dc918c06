#pragma once
// The contract suite's driver for the simulated client, on virtual time. The client runs at its
// own pace while the module calls it: every call takes kCallSeconds of virtual time (about a call
// to another process under Wine), and the client acts on what falls due meanwhile.
#include <memory>

#include "AolTestSupport.h"
#include "contract/ClientDriver.h"

namespace aol::testing {

class SimClientDriver : public contract::ClientDriver {
public:
    SimClientDriver();

    WindowSystem& windows() override { return client_; }
    EventPump& pump() override { return pump_; }

    void signOn(const std::string& user) override { client_.signOn(user); }
    void openRoom(const std::string& name) override { client_.openRoom(name); }
    void addDocument(const std::string& caption,
                     const std::vector<std::string>& childClasses) override;
    void memberJoins(const std::string& name) override { client_.memberJoins(name); }
    void memberSays(const std::string& name, const std::string& text) override;
    void userTypes(const std::string& text, bool enter) override;
    void userOpensMemberWindow(const std::string& name) override;
    void setIgnored(const std::string& name, bool ignored) override;

    void setPostDelayMs(int ms) override;
    void setImSwitchShowsAlert(bool on) override { client_.setImSwitchShowsAlert(on); }
    void setModalAlerts(bool on) override { client_.setModalAlerts(on); }
    void setCannotReceiveIms(const std::string& name) override;
    void hangFor(int ms) override;
    void setCloseDelayMs(double ms) override { client_.setCloseDelay(ms / 1000.0); }
    void userClosesMemberWindowIn(const std::string& name, double ms) override;
    void startDocumentChurn(int rounds) override;
    int churnRoundsLeft() override { return churnLeft_; }

    std::vector<std::string> transcriptLines() override { return client_.transcriptLines(); }
    std::string inputBox() override { return client_.inputBox(); }
    std::vector<std::string> keywords() override { return client_.keywords(); }
    std::vector<std::string> openRooms() override { return client_.openRooms(); }
    std::vector<contract::ReceivedIm> instantMessagesSent() override;
    bool imsReceptionOn() override { return client_.imsReceptionOn(); }
    bool isIgnored(const std::string& name) override { return client_.isIgnored(name); }
    bool isAlertShowing() override { return client_.isAlertShowing(); }
    bool isSendWindowOpen() override { return client_.isSendWindowOpen(); }
    bool isMemberWindowOpen(const std::string& name) override;

private:
    // One round of the churn: the window opens at `when`, closes, and the next round follows.
    void churnRound(double when, int round);

    sim::SimClient client_;
    FakePump pump_{&client_};
    int churnLeft_ = 0;
};

std::unique_ptr<contract::ClientDriver> MakeSimDriver();

}  // namespace aol::testing
