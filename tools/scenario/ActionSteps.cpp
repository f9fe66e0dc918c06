// Steps that act: the program starts, the user and other members talk in the room, the user
// works the player window, its options menu and the tray icon, tracks end, time passes, and
// the questions the program will ask get their answers.
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QSlider>

#include "program/Melodrop.h"
#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"
#include "scenario/WidgetInput.h"
#include "ui/PlayerWindow.h"
#include "ui/TrackListView.h"

namespace melodrop::scenario {

namespace {

constexpr int kTrackEndLimitMs = 10000;
constexpr double kLongestWaitSeconds = 48 * 3600.0;

StepResult start(ScenarioWorld& w, const Step& s) {
    const bool quick = !s.words.isEmpty();
    if (quick && s.words[0] != QLatin1String("quick"))
        return cannot(QStringLiteral("`start` takes nothing or `quick`"));
    w.start(quick);
    return passed();
}

// ---- the room ----

bool isMember(ScenarioWorld& w, const QString& name) {
    for (const std::string& member : w.client().members())
        if (QString::fromStdString(member).compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

StepResult userTypes(ScenarioWorld& w, const Step& s) {
    w.userTypes(s.tail);
    return passed();
}

StepResult memberSays(ScenarioWorld& w, const Step& s) {
    w.ensureRoom();
    if (!isMember(w, s.words[0]))
        return cannot(
            QStringLiteral("%1 is not in the room (add `join %1` first)").arg(s.words[0]));
    w.client().memberSays(s.words[0].toStdString(), s.tail.toStdString());
    return passed();
}

StepResult memberJoins(ScenarioWorld& w, const Step& s) {
    w.ensureRoom();
    if (isMember(w, s.tail)) return cannot(QStringLiteral("%1 is in the room already").arg(s.tail));
    w.client().memberJoins(s.tail.toStdString());
    return passed();
}

StepResult memberLeaves(ScenarioWorld& w, const Step& s) {
    w.ensureRoom();
    if (!isMember(w, s.tail)) return cannot(QStringLiteral("%1 is not in the room").arg(s.tail));
    w.client().memberLeaves(s.tail.toStdString());
    return passed();
}

// ---- the player window ----

// Why the user cannot reach the control now, or "" when they can.
QString unreachable(ui::PlayerWindow& window, QWidget* control, const QString& name) {
    if (!window.isVisible())
        return QStringLiteral("the player window is hidden, so `%1` cannot be reached").arg(name);
    if (window.isMinimized())
        return QStringLiteral("the player window is minimised, so `%1` cannot be reached")
            .arg(name);
    const QRect place(control->mapTo(&window, QPoint(0, 0)), control->size());
    if (!window.rect().contains(place.center()))
        return QStringLiteral("`%1` lies outside the window as it is now (rolled up?)").arg(name);
    return {};
}

QStringList controlNames(ui::PlayerWindow& window) {
    QStringList names;
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->objectName().isEmpty()) names << child->objectName();
    return names;
}

StepResult clickListEntry(ScenarioWorld& w, const Step& s, bool twice) {
    ui::TrackListView* list = w.window().trackList();
    if (!s.hasTail)
        return cannot(
            QStringLiteral("name the entry of the list: `%1 fileMP3s NAME`").arg(s.keyword));
    const int row = static_cast<int>(w.program().tracks().entries().indexOf(s.tail));
    if (row < 0)
        return cannot(QStringLiteral("fileMP3s has no entry \"%1\"; its entries: %2")
                          .arg(s.tail, w.program().tracks().entries().join(QStringLiteral(", "))));
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    if (twice)
        leftDoubleClick(list->viewport(), at);
    else
        leftClick(list->viewport(), at);
    return passed();
}

StepResult clickControl(ScenarioWorld& w, const Step& s, bool twice) {
    ui::PlayerWindow& window = w.window();
    const QString name = s.words[0];
    QWidget* control = window.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    if (!control)
        return cannot(QStringLiteral("the player window has no control `%1`; its controls: %2")
                          .arg(name, controlNames(window).join(QStringLiteral(", "))));
    if (const QString why = unreachable(window, control, name); !why.isEmpty()) return cannot(why);
    if (control == window.trackList()) return clickListEntry(w, s, twice);
    if (s.hasTail) return cannot(QStringLiteral("only fileMP3s takes an entry after its name"));
    if (twice)
        leftDoubleClick(control, control->rect().center());
    else
        leftClick(control, control->rect().center());
    return passed();
}

StepResult slide(ScenarioWorld& w, const Step& s) {
    bool ok = false;
    const int position = s.words[0].toInt(&ok);
    if (!ok || position < 0 || position > 100)
        return cannot(QStringLiteral("the volume slider goes from 0 to 100"));
    QSlider* slider = w.window().volumeSlider();
    if (const QString why = unreachable(w.window(), slider, QStringLiteral("Slider1"));
        !why.isEmpty())
        return cannot(why);
    slider->setValue(position);
    return passed();
}

QStringList menuItemNames(QMenu* menu) {
    QStringList names;
    for (QAction* action : menu->findChildren<QAction*>())
        if (!action->isSeparator() && !action->menu() && !action->objectName().isEmpty())
            names << action->objectName();
    return names;
}

StepResult chooseMenuItem(ScenarioWorld& w, const Step& s) {
    // A scenario never reaches out to the real update server.
    if (s.words[0] == QLatin1String("checkforupdates") && !w.server())
        return cannot(
            QStringLiteral("the update check needs the local update server: add `server "
                           "/zeph/melodrop/updates.txt VERSION` before `start`"));
    ui::PlayerWindow& window = w.window();
    QWidget* options = window.findChild<QWidget*>(QStringLiteral("lblOptions"));
    if (!options) return cannot(QStringLiteral("the player window has no `lblOptions`"));
    if (const QString why = unreachable(window, options, QStringLiteral("lblOptions"));
        !why.isEmpty())
        return cannot(why);
    leftClick(options, options->rect().center());
    QMenu* menu = window.popupMenu();
    if (!menu || !menu->isVisible())
        return expectationFailed(QStringLiteral("a press on lblOptions showed no options menu"));
    const QPointer<QMenu> popup(menu);
    const QString name = s.words[0];
    QAction* action = menu->findChild<QAction*>(name);
    StepResult refused;
    if (!action || action->isSeparator())
        refused = cannot(QStringLiteral("the options menu has no item `%1`; its items: %2")
                             .arg(name, menuItemNames(menu).join(QStringLiteral(", "))));
    else if (action->menu())
        refused = cannot(QStringLiteral("`%1` opens a submenu; name one of its items").arg(name));
    else if (!action->isEnabled())
        refused = cannot(QStringLiteral("`%1` is greyed out in the options menu").arg(name));
    if (!refused) action->trigger();
    if (popup) popup->close();
    return refused;
}

StepResult trayPress(ScenarioWorld& w, const Step&) {
    if (!w.desktop().trayIconShown())
        return cannot(QStringLiteral("there is no tray icon to press"));
    w.program().trayLeftPressed();
    return passed();
}

StepResult folderOk(ScenarioWorld& w, const Step& s) {
    if (!w.desktop().folderDialogShown())
        return cannot(
            QStringLiteral("the MP3 folder dialog is not open (`menu setmp3dir` opens it)"));
    if (!QFileInfo(s.tail).isDir())
        return cannot(
            QStringLiteral("the folder dialog offers only existing folders: %1").arg(s.tail));
    w.program().folderDialogOk(s.tail);
    return passed();
}

StepResult folderCancel(ScenarioWorld& w, const Step&) {
    if (!w.desktop().folderDialogShown())
        return cannot(
            QStringLiteral("the MP3 folder dialog is not open (`menu setmp3dir` opens it)"));
    w.program().folderDialogCancel();
    return passed();
}

// ---- the player, time, answers ----

StepResult trackEnd(ScenarioWorld& w, const Step&) {
    const PlayerMonitor::State state = w.player().state();
    if (state != PlayerMonitor::State::Playing && state != PlayerMonitor::State::Paused)
        return cannot(QStringLiteral("no track can end: the player is %1")
                          .arg(PlayerMonitor::describe(state)));
    if (!w.player().endTrack(kTrackEndLimitMs))
        return expectationFailed(
            QStringLiteral("the player did not report the end of %1 within %2 s")
                .arg(w.player().openedPath())
                .arg(kTrackEndLimitMs / 1000));
    return passed();
}

StepResult wait(ScenarioWorld& w, const Step& s) {
    const auto seconds = parseDuration(s.words[0]);
    if (!seconds || *seconds <= 0 || *seconds > kLongestWaitSeconds)
        return cannot(QStringLiteral(
            "a wait is a number with a unit, from 1ms to 48h: 500ms, 0.5s, 60m, 2h"));
    w.clock().advance(*seconds);
    return passed();
}

StepResult answer(ScenarioWorld& w, const Step& s) {
    Answer a;
    a.line = s.line;
    const QString kind = s.keyword.mid(QStringLiteral("answer ").size());
    if (kind == QLatin1String("yes"))
        a.kind = Answer::Kind::Yes;
    else if (kind == QLatin1String("no"))
        a.kind = Answer::Kind::No;
    else if (kind == QLatin1String("ok"))
        a.kind = Answer::Kind::Ok;
    else if (kind == QLatin1String("cancel"))
        a.kind = Answer::Kind::Cancel;
    else if (kind == QLatin1String("text"))
        a = Answer{Answer::Kind::Text, s.tail, s.line};
    else if (const QString path = w.programPath(s.tail); w.isInsideRun(path) || w.isShipped(path))
        a = Answer{Answer::Kind::File, path, s.line};
    else
        return outsideRun(path);
    w.desktop().queue(a);
    return passed();
}

}  // namespace

std::vector<StepKind> actionSteps() {
    using T = TailRule;
    using B = BlockRule;
    const auto click = [](ScenarioWorld& w, const Step& s) { return clickControl(w, s, false); };
    const auto dblclick = [](ScenarioWorld& w, const Step& s) { return clickControl(w, s, true); };
    return {
        {{"start", 0, 1, T::None, B::None, "start [quick]"}, Phase::BeforeStart, true, start},
        {{"user", 0, 0, T::Required, B::None, "user LINE"}, Phase::Anytime, true, userTypes},
        {{"say", 1, 1, T::Required, B::None, "say MEMBER LINE"}, Phase::Anytime, true, memberSays},
        {{"join", 0, 0, T::Required, B::None, "join MEMBER"}, Phase::Anytime, true, memberJoins},
        {{"leave", 0, 0, T::Required, B::None, "leave MEMBER"}, Phase::Anytime, true, memberLeaves},
        {{"click", 1, 1, T::Optional, B::None, "click CONTROL [ENTRY]"},
         Phase::Running,
         true,
         click},
        {{"dblclick", 1, 1, T::Optional, B::None, "dblclick CONTROL [ENTRY]"},
         Phase::Running,
         true,
         dblclick},
        {{"slide", 1, 1, T::None, B::None, "slide POSITION"}, Phase::Running, true, slide},
        {{"menu", 1, 1, T::None, B::None, "menu ITEM"}, Phase::Running, true, chooseMenuItem},
        {{"tray", 0, 0, T::None, B::None, "tray"}, Phase::Running, true, trayPress},
        {{"folder", 0, 0, T::Required, B::None, "folder PATH"}, Phase::Running, true, folderOk},
        {{"folder-cancel", 0, 0, T::None, B::None, "folder-cancel"},
         Phase::Running,
         true,
         folderCancel},
        {{"track-end", 0, 0, T::None, B::None, "track-end"}, Phase::Running, true, trackEnd},
        {{"wait", 1, 1, T::None, B::None, "wait DURATION"}, Phase::Anytime, false, wait},
        {{"answer yes", 0, 0, T::None, B::None, "answer yes"}, Phase::Anytime, false, answer},
        {{"answer no", 0, 0, T::None, B::None, "answer no"}, Phase::Anytime, false, answer},
        {{"answer ok", 0, 0, T::None, B::None, "answer ok"}, Phase::Anytime, false, answer},
        {{"answer cancel", 0, 0, T::None, B::None, "answer cancel"}, Phase::Anytime, false, answer},
        {{"answer text", 0, 0, T::Optional, B::None, "answer text [TEXT]"},
         Phase::Anytime,
         false,
         answer},
        {{"answer file", 0, 0, T::Required, B::None, "answer file PATH"},
         Phase::Anytime,
         false,
         answer},
    };
}

}  // namespace melodrop::scenario
