#pragma once
// A fake event pump with virtual time for the module's tests, and a fixture with a simulated
// client, the module and recording hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "aol/Quartzline.h"
#include "aol/sim/SimClient.h"

namespace aol::testing {

// Time moves only in WaitForEvents (to the next scheduled event, the next posted message that
// falls due in the client, or the deadline). Each pump delivers the client's posted messages that
// are due and runs the events that are due. A loop that pumps
// without ever waiting would never see time pass; the pump fails the test instead of hanging.
class FakePump : public EventPump {
public:
    explicit FakePump(sim::SimClient* client = nullptr) : client_(client) {}

    double Now() override { return now; }

    void PumpEvents() override {
        ++pumps;
        if (++pumpsSinceTimeMoved > 100000) {
            ADD_FAILURE() << "PumpEvents called 100000 times without time passing";
            throw std::runtime_error("spinning");
        }
        if (client_) client_->deliverPosted();
        RunDue();
        if (onPump) onPump();
    }

    void WaitForEvents(double deadline) override {
        ++waits;
        double target = deadline;
        if (!events_.empty()) target = std::min(target, events_.begin()->first);
        if (client_) {
            if (const auto due = client_->nextPostedDue(); due && *due > now) {
                target = std::min(target, *due);
            }
        }
        if (target > now) {
            now = target;
            pumpsSinceTimeMoved = 0;
        }
        RunDue();
    }

    // Runs fn when virtual time reaches t (inside a pump or a wait).
    void at(double t, std::function<void()> fn) { events_.emplace(t, std::move(fn)); }

    double now = 0.0;
    int pumps = 0;
    int waits = 0;
    int pumpsSinceTimeMoved = 0;
    std::function<void()> onPump;

private:
    void RunDue() {
        while (!events_.empty() && events_.begin()->first <= now + 1e-12) {
            auto fn = std::move(events_.begin()->second);
            events_.erase(events_.begin());
            fn();
        }
    }

    sim::SimClient* client_;
    std::multimap<double, std::function<void()>> events_;
};

class AolTest : public ::testing::Test {
protected:
    AolTest() {
        QuartzlineHooks hooks;
        hooks.autoIgnoreTag = [this] { return tag; };
        hooks.setAutoIgnoreTag = [this](const std::string& t) { tag = t; };
        hooks.autoIgnoreScanOn = [this] { ++scanOns; };
        hooks.messageBox = [this](const std::string& text, const std::string& title) {
            boxes.emplace_back(text, title);
        };
        q.setHooks(hooks);
    }

    // The messages the module sent or posted to windows of a class (with a given message).
    int count(const std::string& windowClass, std::uint32_t message, bool posted) const {
        int n = 0;
        for (const auto& m : client.messageLog()) {
            if (m.windowClass == windowClass && m.message == message && m.posted == posted) ++n;
        }
        return n;
    }
    int countMessage(std::uint32_t message) const {
        int n = 0;
        for (const auto& m : client.messageLog()) n += m.message == message ? 1 : 0;
        return n;
    }
    int postedCount() const {
        int n = 0;
        for (const auto& m : client.messageLog()) n += m.posted ? 1 : 0;
        return n;
    }

    sim::SimClient client;
    FakePump pump{&client};
    Quartzline q{client, pump};
    std::string tag = "on";
    int scanOns = 0;
    std::vector<std::pair<std::string, std::string>> boxes;
};

}  // namespace aol::testing
