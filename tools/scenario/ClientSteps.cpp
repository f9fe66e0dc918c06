// Steps that act on the chat client itself rather than on its room: how it answers switching
// instant messages, what its keyword box received, and the bridge between it and the program.
#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"

namespace melodrop::scenario {

namespace {

StepResult clientAlerts(ScenarioWorld& w, const Step& s) {
    const QString want = s.words[0];
    if (want != QLatin1String("on") && want != QLatin1String("off"))
        return cannot(QStringLiteral("`client-alerts` takes on or off"));
    w.client().setImSwitchShowsAlert(want == QLatin1String("on"));
    return passed();
}

StepResult bridge(ScenarioWorld& w, const Step& s) {
    const QString what = s.words[0];
    if (what == QLatin1String("stop")) {
        if (!w.client().stopBridge())
            return cannot(
                QStringLiteral("there is no running bridge to stop (`--client win32` or `wine`)"));
        return passed();
    }
    if (what == QLatin1String("start")) {
        if (!w.client().startBridge())
            return cannot(
                QStringLiteral("the bridge cannot be started (`--client win32` or `wine`)"));
        return passed();
    }
    return cannot(QStringLiteral("`bridge` takes stop or start"));
}

StepResult expectKeyword(ScenarioWorld& w, const Step& s) {
    QStringList received;
    const bool found = eventually(w, [&] {
        received.clear();
        for (const std::string& keyword : w.client().keywords())
            received << QString::fromStdString(keyword);
        return received.contains(s.tail);
    });
    if (found) return passed();
    return expectationFailed(QStringLiteral("the keyword box never received %1; it received:\n%2")
                                 .arg(quoted(s.tail), indented(received)));
}

StepResult expectNoAlert(ScenarioWorld& w, const Step&) {
    if (eventually(w, [&] { return !w.client().alertShowing(); })) return passed();
    return expectationFailed(QStringLiteral("the client's alert is still showing"));
}

}  // namespace

std::vector<StepKind> clientSteps() {
    using T = TailRule;
    using B = BlockRule;
    return {
        {{"client-alerts", 1, 1, T::None, B::None, "client-alerts on|off"},
         Phase::Anytime,
         false,
         clientAlerts},
        {{"bridge", 1, 1, T::None, B::None, "bridge stop|start"}, Phase::Anytime, true, bridge},
        {{"expect keyword", 0, 0, T::Required, B::None, "expect keyword TEXT"},
         Phase::Anytime,
         false,
         expectKeyword},
        {{"expect no-alert", 0, 0, T::None, B::None, "expect no-alert"},
         Phase::Anytime,
         false,
         expectNoAlert},
    };
}

}  // namespace melodrop::scenario
