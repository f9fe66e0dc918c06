// Steps that check the program itself: its player window, the tray icon, the settings store,
// the player and the options state.
#include <QDir>
#include <QFileInfo>
#include <QSlider>
#include <functional>

#include "player/QtSettingsStore.h"
#include "program/Melodrop.h"
#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"
#include "ui/PlayerLayout.h"
#include "ui/PlayerWindow.h"

namespace melodrop::scenario {

namespace {

StepResult expectTray(ScenarioWorld& w, const Step& s) {
    const QString want = s.words[0];
    if (want != QLatin1String("on") && want != QLatin1String("off"))
        return cannot(QStringLiteral("`expect tray` takes on or off"));
    const bool shown = w.desktop().trayIconShown();
    if (shown == (want == QLatin1String("on"))) return passed();
    return expectationFailed(shown ? QStringLiteral("the tray icon is there")
                                   : QStringLiteral("there is no tray icon"));
}

StepResult expectWindow(ScenarioWorld& w, const Step& s) {
    ui::PlayerWindow& window = w.window();
    for (const QString& state : s.words) {
        bool holds = false;
        if (state == QLatin1String("shown"))
            holds = window.isVisible();
        else if (state == QLatin1String("hidden"))
            holds = !window.isVisible();
        else if (state == QLatin1String("minimized"))
            holds = window.isMinimized();
        else if (state == QLatin1String("normal"))
            holds = window.isVisible() && !window.isMinimized();
        else if (state == QLatin1String("topmost"))
            holds = window.isOnTop();
        else if (state == QLatin1String("not-topmost"))
            holds = !window.isOnTop();
        else
            return cannot(QStringLiteral(
                "`expect window` takes shown, hidden, minimized, normal, topmost, not-topmost"));
        if (!holds)
            return expectationFailed(QStringLiteral("the player window is not %1 (it is %2%3, %4)")
                                         .arg(state, window.isVisible() ? "shown" : "hidden",
                                              window.isMinimized() ? " and minimized" : "",
                                              window.isOnTop() ? "topmost" : "not topmost"));
    }
    return passed();
}

StepResult expectTooltip(ScenarioWorld& w, const Step& s) {
    const QWidget* control = w.window().findChild<QWidget*>(s.words[0]);
    if (!control)
        return cannot(QStringLiteral("the player window has no control `%1`").arg(s.words[0]));
    if (control->toolTip() == s.tail) return passed();
    return expectationFailed(
        QStringLiteral("the tooltip of %1 is %2").arg(s.words[0], quoted(control->toolTip())));
}

StepResult expectHeight(ScenarioWorld& w, const Step& s) {
    bool ok = false;
    const int twips = s.words[0].toInt(&ok);
    if (!ok) return cannot(QStringLiteral("`expect height` takes the height in twips"));
    const int model = w.program().window().heightTwips();
    const int pixels = w.window().height();
    if (model == twips && pixels == ui::twipsToPixels(twips)) return passed();
    return expectationFailed(QStringLiteral("the player window is %1 twips high (%2 pixels shown)")
                                 .arg(model)
                                 .arg(pixels));
}

StepResult expectPicture(ScenarioWorld& w, const Step& s) {
    const QString path = w.program().window().picturePath();
    // A file name, or a whole path to tell which skins folder the picture came from.
    const bool wholePath = s.tail.contains(QLatin1Char('/'));
    const QString shown = path.isEmpty() ? QStringLiteral("built-in")
                          : wholePath    ? QDir::cleanPath(path)
                                         : QFileInfo(path).fileName();
    if (shown == (wholePath ? QDir::cleanPath(s.tail) : s.tail)) return passed();
    return expectationFailed(QStringLiteral("the player window shows the picture %1")
                                 .arg(path.isEmpty() ? shown : path));
}

// ---- settings, player, program state ----

StepResult expectSetting(ScenarioWorld& w, const Step& s) {
    const QString value = w.storedSetting(s.words[0]);
    if (value == s.tail) return passed();
    return expectationFailed(QStringLiteral("setting %1 is %2").arg(s.words[0], quoted(value)));
}

StepResult expectPlayer(ScenarioWorld& w, const Step& s, PlayerMonitor::State want) {
    const PlayerMonitor& p = w.player();
    const QString name = QFileInfo(p.openedPath()).fileName();
    if (p.state() == want && name == s.tail) return passed();
    return expectationFailed(
        QStringLiteral("the player is %1%2")
            .arg(PlayerMonitor::describe(p.state()),
                 p.openedPath().isEmpty()
                     ? QString()
                     : QStringLiteral(" (last opened: %1)").arg(p.openedPath())));
}

StepResult expectOpened(ScenarioWorld& w, const Step& s) {
    const QString opened = w.player().openedPath();
    if (opened == s.tail) return passed();
    return expectationFailed(opened.isEmpty()
                                 ? QStringLiteral("the player opened nothing")
                                 : QStringLiteral("the player last opened %1").arg(quoted(opened)));
}

StepResult expectNotPlaying(ScenarioWorld& w, const Step&) {
    if (w.player().state() != PlayerMonitor::State::Playing) return passed();
    return expectationFailed(QStringLiteral("the player plays %1").arg(w.player().openedPath()));
}

StepResult expectVolume(ScenarioWorld& w, const Step& s) {
    const auto volume = w.player().volume();
    const QString actual = volume ? QString::number(*volume) : QStringLiteral("unset");
    if (actual == s.words[0]) return passed();
    return expectationFailed(QStringLiteral("the player's volume is %1").arg(actual));
}

StepResult expectSeek(ScenarioWorld& w, const Step& s) {
    bool ok = false;
    const double want = s.words[0].toDouble(&ok);
    if (!ok) return cannot(QStringLiteral("`expect seek` takes seconds"));
    const auto seek = w.player().lastSeek();
    if (seek && *seek == want) return passed();
    return expectationFailed(
        seek ? QStringLiteral("the last position handed to the player was %1").arg(*seek)
             : QStringLiteral("no position was handed to the player"));
}

StepResult expectSlider(ScenarioWorld& w, const Step& s) {
    const int shown = w.window().volumeSlider()->value();
    const int model = w.program().window().slider();
    if (QString::number(shown) == s.words[0] && QString::number(model) == s.words[0])
        return passed();
    return expectationFailed(
        QStringLiteral("the volume slider shows %1 (the program holds %2)").arg(shown).arg(model));
}

StepResult expectSelected(ScenarioWorld& w, const Step& s) {
    const QString selected = w.program().tracks().selectedName();
    if (selected == s.tail) return passed();
    return expectationFailed(
        QStringLiteral("the selected entry of fileMP3s is %1").arg(quoted(selected)));
}

// A field of the program's state by its name; the current track is the transport's own.
std::optional<QString> stateField(const Melodrop& program, const QString& name) {
    const OptionsState& st = program.state();
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    const auto list = [](const QStringList& l) { return l.join(QStringLiteral(", ")); };
    const QHash<QString, std::function<QString()>> fields = {
        {"alwaysontop", [&] { return flag(st.alwaysontop); }},
        {"advertise", [&] { return flag(st.advertise); }},
        {"continuous", [&] { return flag(st.continuous); }},
        {"random", [&] { return flag(st.random); }},
        {"chatcommands", [&] { return flag(st.chatcommands); }},
        {"idle", [&] { return flag(st.idle); }},
        {"idlelinker", [&] { return flag(st.idlelinker); }},
        {"rollup", [&] { return st.rollupCaption; }},
        {"txtTrigger", [&] { return st.txtTrigger; }},
        {"txtHandle", [&] { return st.txtHandle; }},
        {"txtMP3sPath", [&] { return st.txtMP3sPath; }},
        {"lblMP3Name", [&] { return program.lblMP3Name(); }},
        {"lblReason", [&] { return st.lblReason; }},
        {"lblDays", [&] { return st.lblDays; }},
        {"lblHours", [&] { return st.lblHours; }},
        {"lblMins", [&] { return st.lblMins; }},
        {"lblURL", [&] { return st.lblURL; }},
        {"lblURLText", [&] { return st.lblURLText; }},
        {"Label1", [&] { return st.Label1; }},
        {"lstImmune", [&] { return list(st.lstImmune); }},
        {"lstRoom", [&] { return list(st.lstRoom); }},
        {"lstRandom", [&] { return list(st.lstRandom); }},
    };
    const auto it = fields.constFind(name);
    if (it == fields.constEnd()) return std::nullopt;
    return it.value()();
}

StepResult expectState(ScenarioWorld& w, const Step& s) {
    const auto value = stateField(w.program(), s.words[0]);
    if (!value)
        return cannot(QStringLiteral("the options state has no field `%1`").arg(s.words[0]));
    if (*value == s.tail) return passed();
    return expectationFailed(QStringLiteral("%1 is %2").arg(s.words[0], quoted(*value)));
}

// How the program reaches the client, in the few words its options menu and tray show: the
// expected text begins them ("connected to the chat client" for any process).
StepResult expectLink(ScenarioWorld& w, const Step& s) {
    const QString summary = w.program().context().link.summary();
    if (summary.startsWith(s.tail)) return passed();
    return expectationFailed(
        QStringLiteral("the link to the chat client is %1").arg(quoted(summary)));
}

StepResult expectEnded(ScenarioWorld& w, const Step&, bool ended) {
    if (w.ended() == ended) return passed();
    return expectationFailed(ended ? QStringLiteral("the program is still running")
                                   : QStringLiteral("the program has ended"));
}

}  // namespace

std::vector<StepKind> expectProgramSteps() {
    using T = TailRule;
    using B = BlockRule;
    using S = PlayerMonitor::State;
    const auto is = [](S state) {
        return [state](ScenarioWorld& w, const Step& s) { return expectPlayer(w, s, state); };
    };
    return {
        {{"expect link", 0, 0, T::Required, B::None, "expect link TEXT"},
         Phase::Started,
         false,
         expectLink},
        {{"expect tray", 1, 1, T::None, B::None, "expect tray on|off"},
         Phase::Started,
         false,
         expectTray},
        {{"expect window", 1, 3, T::None, B::None, "expect window STATE..."},
         Phase::Started,
         false,
         expectWindow},
        {{"expect tooltip", 1, 1, T::Optional, B::None, "expect tooltip CONTROL [TEXT]"},
         Phase::Started,
         false,
         expectTooltip},
        {{"expect height", 1, 1, T::None, B::None, "expect height TWIPS"},
         Phase::Started,
         false,
         expectHeight},
        {{"expect picture", 0, 0, T::Required, B::None, "expect picture FILE|built-in"},
         Phase::Started,
         false,
         expectPicture},
        {{"expect setting", 1, 1, T::Optional, B::None, "expect setting KEY [VALUE]"},
         Phase::Anytime,
         false,
         expectSetting},
        {{"expect playing", 0, 0, T::Required, B::None, "expect playing NAME"},
         Phase::Started,
         false,
         is(S::Playing)},
        {{"expect paused", 0, 0, T::Required, B::None, "expect paused NAME"},
         Phase::Started,
         false,
         is(S::Paused)},
        {{"expect stopped", 0, 0, T::Required, B::None, "expect stopped NAME"},
         Phase::Started,
         false,
         is(S::Stopped)},
        {{"expect opened", 0, 0, T::Required, B::None, "expect opened PATH"},
         Phase::Started,
         false,
         expectOpened},
        {{"expect not-playing", 0, 0, T::None, B::None, "expect not-playing"},
         Phase::Started,
         false,
         expectNotPlaying},
        {{"expect volume", 1, 1, T::None, B::None, "expect volume HUNDREDTHS_DB|unset"},
         Phase::Started,
         false,
         expectVolume},
        {{"expect seek", 1, 1, T::None, B::None, "expect seek SECONDS"},
         Phase::Started,
         false,
         expectSeek},
        {{"expect slider", 1, 1, T::None, B::None, "expect slider POSITION"},
         Phase::Started,
         false,
         expectSlider},
        {{"expect selected", 0, 0, T::Optional, B::None, "expect selected [NAME]"},
         Phase::Started,
         false,
         expectSelected},
        {{"expect state", 1, 1, T::Optional, B::None, "expect state FIELD [VALUE]"},
         Phase::Started,
         false,
         expectState},
        {{"expect ended", 0, 0, T::None, B::None, "expect ended"},
         Phase::Started,
         false,
         [](ScenarioWorld& w, const Step& s) { return expectEnded(w, s, true); }},
        {{"expect running", 0, 0, T::None, B::None, "expect running"},
         Phase::Started,
         false,
         [](ScenarioWorld& w, const Step& s) { return expectEnded(w, s, false); }},
    };
}

}  // namespace melodrop::scenario
