#pragma once
// The fixture of the contract suite: a fresh client from the suite's driver, the module on its
// window system and event pump, and hooks that record what the module asks of the program.
// Each test binary instantiates the suite with its own driver:
//   INSTANTIATE_TEST_SUITE_P(Sim, ClientContract, ::testing::Values(&MakeSimDriver));
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ClientDriver.h"
#include "aol/Quartzline.h"

namespace aol::contract {

class ClientContract : public ::testing::TestWithParam<ClientDriverFactory> {
protected:
    ClientContract() : driver_(GetParam()()), client(*driver_), q(client.windows(), client.pump()) {
        QuartzlineHooks hooks;
        hooks.autoIgnoreTag = [this] { return tag; };
        hooks.setAutoIgnoreTag = [this](const std::string& t) { tag = t; };
        hooks.autoIgnoreScanOn = [this] { ++scanOns; };
        q.setHooks(hooks);
    }

    // A signed-on user in an open room with three more members.
    void enterLobby() {
        client.signOn("Bob");
        client.openRoom("Lobby");
        for (const char* name : {"Alice", "SpAmMeR", "Carol"}) client.memberJoins(name);
    }

    // Lets the client act on what the module posted to it.
    void settle() { q.TimeOut(0.5); }

    // Waits (pumping) until the condition holds, at most `seconds`; returns whether it held.
    template <typename Condition>
    bool eventually(Condition condition, double seconds = 3.0) {
        const double deadline = now() + seconds;
        while (!condition()) {
            if (now() >= deadline) return false;
            q.TimeOut(0.02);
        }
        return true;
    }

    double now() { return client.pump().Now(); }

    std::unique_ptr<ClientDriver> driver_;
    ClientDriver& client;
    Quartzline q;
    std::string tag = "on";
    int scanOns = 0;
};

}  // namespace aol::contract
