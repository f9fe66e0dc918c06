#include "scenario/SimScenarioClient.h"

#include "base/VirtualClock.h"

namespace melodrop::scenario {

void SimScenarioClient::attach(VirtualClock& clock, std::function<void()> changed) {
    // Posted messages act at the next pump, as in a client's message queue.
    clock.addPumpHook([this] { sim_.deliverPosted(); });
    sim_.addChangeListener(std::move(changed));
}

std::vector<std::string> SimScenarioClient::members() {
    std::vector<std::string> names;
    for (const aol::sim::MemberInfo& m : sim_.members()) names.push_back(m.name);
    return names;
}

std::vector<ScenarioClient::Room> SimScenarioClient::rooms() {
    std::vector<Room> out;
    for (const std::string& name : sim_.openRooms())
        out.push_back({sim_.roomWindow(name), name, sim_.transcriptLines(name)});

    return out;
}

}  // namespace melodrop::scenario
