#pragma once
// The simulated chat client as a scenario's client.
#include "aol/sim/SimClient.h"
#include "scenario/ScenarioClient.h"

namespace melodrop::scenario {

class SimScenarioClient : public ScenarioClient {
public:
    aol::sim::SimClient& sim() { return sim_; }

    aol::WindowSystem& windows() override { return sim_; }
    void attach(VirtualClock& clock, std::function<void()> changed) override;

    std::string signedOnUser() override { return sim_.signedOnUser(); }
    void signOn(const std::string& name) override { sim_.signOn(name); }
    void openRoom(const std::string& name) override { sim_.openRoom(name); }
    std::string currentRoom() override { return sim_.currentRoom(); }
    std::vector<std::string> members() override;
    void userTypes(const std::string& line) override { sim_.userTypes(line); }
    void memberSays(const std::string& name, const std::string& line) override {
        sim_.memberSays(name, line);
    }
    void memberJoins(const std::string& name) override { sim_.memberJoins(name); }
    void memberLeaves(const std::string& name) override { sim_.memberLeaves(name); }
    bool isIgnored(const std::string& name) override { return sim_.isIgnored(name); }
    bool imsReceptionOn() override { return sim_.imsReceptionOn(); }
    void setImSwitchShowsAlert(bool on) override { sim_.setImSwitchShowsAlert(on); }
    std::vector<std::string> keywords() override { return sim_.keywords(); }
    bool alertShowing() override { return sim_.isAlertShowing(); }
    std::vector<Room> rooms() override;

private:
    aol::sim::SimClient sim_;
};

}  // namespace melodrop::scenario
