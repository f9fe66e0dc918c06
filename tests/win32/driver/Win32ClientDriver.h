#pragma once
// The contract suite's driver for the fake chat client made of real Win32 windows: starts
// fake-aol-client.exe (found beside the test program) as a process of its own, drives it with
// commands sent to its control window, and hands the module the real Win32 window system.
// One client process serves every test; each driver starts from a reset client.
#include <cstdlib>
#include <string>

#include "aol/win32/Win32WindowSystem.h"
#include "contract/ClientDriver.h"
#include "driver/Win32EventPump.h"

namespace wintest {

class Win32ClientDriver : public aol::contract::ClientDriver {
public:
    Win32ClientDriver();

    aol::WindowSystem& windows() override { return windows_; }
    aol::EventPump& pump() override { return pump_; }

    void signOn(const std::string& user) override { command({"signon", user}); }
    void openRoom(const std::string& name) override { command({"room", name}); }
    void addDocument(const std::string& caption,
                     const std::vector<std::string>& childClasses) override;
    void memberJoins(const std::string& name) override { command({"join", name}); }
    void memberSays(const std::string& name, const std::string& text) override {
        command({"say", name, text});
    }
    void userTypes(const std::string& text, bool enter) override {
        command({"type", text, enter ? "1" : "0"});
    }
    void userOpensMemberWindow(const std::string& name) override { command({"openmember", name}); }
    void setIgnored(const std::string& name, bool ignored) override {
        command({"setignored", name, ignored ? "1" : "0"});
    }

    void setPostDelayMs(int ms) override { command({"postdelay", std::to_string(ms)}); }
    void setImSwitchShowsAlert(bool on) override { command({"imalert", on ? "1" : "0"}); }
    void setModalAlerts(bool on) override { command({"modalalerts", on ? "1" : "0"}); }
    void setCannotReceiveIms(const std::string& name) override { command({"cannotreceive", name}); }
    void hangFor(int ms) override;
    void setCloseDelayMs(double ms) override { command({"closedelay", Decimal(ms)}); }
    void userClosesMemberWindowIn(const std::string& name, double ms) override {
        command({"closememberin", name, Decimal(ms)});
    }
    void startDocumentChurn(int rounds) override { command({"churn", std::to_string(rounds)}); }
    int churnRoundsLeft() override { return std::atoi(command({"churnleft"}).c_str()); }

    std::vector<std::string> transcriptLines() override { return lines(command({"transcript"})); }
    std::string inputBox() override { return command({"inputbox"}); }
    std::vector<std::string> keywords() override { return lines(command({"keywords"})); }
    std::vector<std::string> openRooms() override { return lines(command({"rooms"})); }
    std::vector<aol::contract::ReceivedIm> instantMessagesSent() override;
    bool imsReceptionOn() override { return command({"imson"}) == "1"; }
    bool isIgnored(const std::string& name) override { return command({"ignored", name}) == "1"; }
    bool isAlertShowing() override { return command({"alert"}) == "1"; }
    bool isSendWindowOpen() override { return command({"sendwindow"}) == "1"; }
    bool isMemberWindowOpen(const std::string& name) override {
        return command({"memberwindow", name}) == "1";
    }

    // Sends one command and returns the client's answer ("" for commands without one).
    std::string command(const std::vector<std::string>& words);

private:
    static std::vector<std::string> lines(const std::string& text);
    static std::string Decimal(double value);

    aol::Win32WindowSystem windows_;
    Win32EventPump pump_;
};

}  // namespace wintest
