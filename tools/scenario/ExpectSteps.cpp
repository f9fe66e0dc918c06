// Steps that check what reached the room and the world around the program: the room's lines,
// the members' ignore settings, the questions asked, the shell, files and the update server.
#include <QFile>
#include <QFileInfo>

#include "localserver/LocalHttpServer.h"
#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"

namespace melodrop::scenario {

namespace {

// Where two texts first differ (0-based), for long HTML lines.
qsizetype firstDifference(const QString& a, const QString& b) {
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

QStringList newLines(ScenarioWorld& w) {
    QStringList out;
    for (qsizetype i = w.linesChecked; i < w.lines().size(); ++i) out << w.lines()[i].printed();
    return out;
}

// ---- the room ----

StepResult expectLine(ScenarioWorld& w, const Step& s) {
    QStringList fresh;
    qsizetype at = -1;
    eventually(w, [&] {
        fresh = newLines(w);
        at = fresh.indexOf(s.tail);
        return at >= 0;
    });
    if (at < 0)
        return expectationFailed(
            QStringLiteral(
                "no new line of the room reads\n  %1\nnew lines since the last check:\n%2")
                .arg(s.tail, indented(fresh)));
    w.linesChecked += static_cast<int>(at) + 1;
    return passed();
}

StepResult expectTranscript(ScenarioWorld& w, const Step& s) {
    QStringList expected;
    for (const QString& line : s.block)
        if (!line.trimmed().isEmpty()) expected << line;
    QStringList actual;
    const bool same = eventually(w, [&] {
        actual = newLines(w);
        return actual == expected;
    });
    w.linesChecked = static_cast<int>(w.lines().size());
    if (same) return passed();
    qsizetype row = 0;
    while (row < expected.size() && row < actual.size() && expected[row] == actual[row]) ++row;
    QString where = QStringLiteral("first difference: line %1").arg(row + 1);
    if (row < expected.size() && row < actual.size())
        where +=
            QStringLiteral(", character %1").arg(firstDifference(expected[row], actual[row]) + 1);
    return expectationFailed(
        QStringLiteral(
            "the room's new lines are not the expected ones\nexpected:\n%1\nactual:\n%2\n%3")
            .arg(indented(expected), indented(actual), where));
}

StepResult expectNoLines(ScenarioWorld& w, const Step&) {
    const QStringList fresh = newLines(w);
    if (fresh.isEmpty()) return passed();
    w.linesChecked = static_cast<int>(w.lines().size());
    return expectationFailed(QStringLiteral("the room got new lines:\n%1").arg(indented(fresh)));
}

StepResult expectIgnored(ScenarioWorld& w, const Step& s, bool ignored) {
    if (eventually(w, [&] { return w.client().isIgnored(s.tail.toStdString()) == ignored; }))
        return passed();
    return expectationFailed(ignored ? QStringLiteral("%1 is not ignored").arg(s.tail)
                                     : QStringLiteral("%1 is ignored").arg(s.tail));
}

StepResult expectRoom(ScenarioWorld& w, const Step& s) {
    const QString room = QString::fromStdString(w.client().currentRoom());
    if (room == s.tail) return passed();
    return expectationFailed(QStringLiteral("the open room is %1").arg(quoted(room)));
}

StepResult expectIms(ScenarioWorld& w, const Step& s) {
    const QString want = s.words[0];
    if (want != QLatin1String("on") && want != QLatin1String("off"))
        return cannot(QStringLiteral("`expect ims` takes on or off"));
    bool on = false;
    if (eventually(w, [&] {
            on = w.client().imsReceptionOn();
            return on == (want == QLatin1String("on"));
        }))
        return passed();
    return expectationFailed(QStringLiteral("instant messages are %1").arg(on ? "on" : "off"));
}

// ---- the desktop ----

QStringList newDialogs(ScenarioWorld& w) {
    QStringList out;
    const auto& dialogs = w.desktop().dialogs();
    for (qsizetype i = w.dialogsChecked; i < dialogs.size(); ++i)
        out << QStringLiteral("%1 %2: %3 -> %4")
                   .arg(dialogs[i].kind, quoted(dialogs[i].title),
                        quoted(escapeLineBreaks(dialogs[i].text)), dialogs[i].answer);
    return out;
}

StepResult expectDialog(ScenarioWorld& w, const Step& s) {
    const QString wanted = unescape(s.tail);
    const auto& dialogs = w.desktop().dialogs();
    for (qsizetype i = w.dialogsChecked; i < dialogs.size(); ++i) {
        if (dialogs[i].text != wanted) continue;
        w.dialogsChecked = static_cast<int>(i) + 1;
        return passed();
    }
    return expectationFailed(
        QStringLiteral("no new question or message reads\n  %1\nnew ones since the last check:\n%2")
            .arg(s.tail, indented(newDialogs(w))));
}

// The title or icon of the question or message last checked (by `expect dialog`).
StepResult expectDialogPart(ScenarioWorld& w, const Step& s, bool title) {
    const auto& dialogs = w.desktop().dialogs();
    if (w.dialogsChecked == 0 || w.dialogsChecked > dialogs.size())
        return cannot(QStringLiteral("no dialog was checked yet: put `expect dialog TEXT` first"));
    const DialogSeen& seen = dialogs[w.dialogsChecked - 1];
    const QString actual = title ? seen.title : seen.icon;
    if (actual == s.tail) return passed();
    return expectationFailed(QStringLiteral("the %1 %2 has the %3 %4")
                                 .arg(seen.kind, quoted(escapeLineBreaks(seen.text)),
                                      title ? QStringLiteral("title") : QStringLiteral("icon"),
                                      quoted(actual)));
}

StepResult expectNoDialogs(ScenarioWorld& w, const Step&) {
    const QStringList fresh = newDialogs(w);
    w.dialogsChecked = static_cast<int>(w.desktop().dialogs().size());
    if (fresh.isEmpty()) return passed();
    return expectationFailed(QStringLiteral("the program asked or told:\n%1").arg(indented(fresh)));
}

StepResult expectShell(ScenarioWorld& w, const Step& s) {
    const QString want = s.words[0] + QLatin1Char(' ') + s.tail;
    if (w.desktop().shellRequests().contains(want)) return passed();
    return expectationFailed(QStringLiteral("the shell was not asked to %1; it was asked:\n%2")
                                 .arg(want, indented(w.desktop().shellRequests())));
}

// ---- files and the server ----

QStringList fileLines(const QByteArray& content) {
    QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

StepResult expectFile(ScenarioWorld& w, const Step& s) {
    const QString path = w.programPath(s.words[0]);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return expectationFailed(QStringLiteral("there is no file %1").arg(path));
    const QStringList actual = fileLines(file.readAll());
    const QStringList expected = s.hasBlock ? s.block : QStringList{s.tail};
    if (actual == expected) return passed();
    return expectationFailed(QStringLiteral("%1 holds\n%2\ninstead of\n%3")
                                 .arg(path, indented(actual), indented(expected)));
}

StepResult expectNoFile(ScenarioWorld& w, const Step& s) {
    const QString path = w.programPath(s.tail);
    if (!QFileInfo::exists(path)) return passed();
    return expectationFailed(QStringLiteral("%1 exists").arg(path));
}

StepResult expectRequested(ScenarioWorld& w, const Step& s) {
    const QStringList requested = w.server() ? w.server()->requestedPaths() : QStringList();
    if (requested.contains(s.tail)) return passed();
    return expectationFailed(
        QStringLiteral("the update server was not asked for %1; it was asked for:\n%2")
            .arg(s.tail, indented(requested)));
}

}  // namespace

std::vector<StepKind> expectSteps() {
    using T = TailRule;
    using B = BlockRule;
    return {
        {{"expect line", 0, 0, T::Required, B::None, "expect line SENDER: TEXT"},
         Phase::Anytime,
         false,
         expectLine},
        {{"expect transcript", 0, 0, T::None, B::Required, "expect transcript ... end"},
         Phase::Anytime,
         false,
         expectTranscript},
        {{"expect no-lines", 0, 0, T::None, B::None, "expect no-lines"},
         Phase::Anytime,
         false,
         expectNoLines},
        {{"expect ignored", 0, 0, T::Required, B::None, "expect ignored MEMBER"},
         Phase::Anytime,
         false,
         [](ScenarioWorld& w, const Step& s) { return expectIgnored(w, s, true); }},
        {{"expect not-ignored", 0, 0, T::Required, B::None, "expect not-ignored MEMBER"},
         Phase::Anytime,
         false,
         [](ScenarioWorld& w, const Step& s) { return expectIgnored(w, s, false); }},
        {{"expect room", 0, 0, T::Required, B::None, "expect room NAME"},
         Phase::Anytime,
         false,
         expectRoom},
        {{"expect ims", 1, 1, T::None, B::None, "expect ims on|off"},
         Phase::Anytime,
         false,
         expectIms},
        {{"expect dialog", 0, 0, T::Required, B::None, "expect dialog TEXT"},
         Phase::Anytime,
         false,
         expectDialog},
        {{"expect dialog-title", 0, 0, T::Required, B::None, "expect dialog-title TITLE"},
         Phase::Anytime,
         false,
         [](ScenarioWorld& w, const Step& s) { return expectDialogPart(w, s, true); }},
        {{"expect dialog-icon", 0, 0, T::Required, B::None,
          "expect dialog-icon information|question|warning|critical|none"},
         Phase::Anytime,
         false,
         [](ScenarioWorld& w, const Step& s) { return expectDialogPart(w, s, false); }},
        {{"expect no-dialogs", 0, 0, T::None, B::None, "expect no-dialogs"},
         Phase::Anytime,
         false,
         expectNoDialogs},
        {{"expect shell", 1, 1, T::Required, B::None, "expect shell open|start PATH"},
         Phase::Anytime,
         false,
         expectShell},
        {{"expect file", 1, 1, T::Optional, B::InsteadOfTail, "expect file PATH TEXT | ... end"},
         Phase::Anytime,
         false,
         expectFile},
        {{"expect no-file", 0, 0, T::Required, B::None, "expect no-file PATH"},
         Phase::Anytime,
         false,
         expectNoFile},
        {{"expect requested", 0, 0, T::Required, B::None, "expect requested PATH"},
         Phase::Anytime,
         false,
         expectRequested},
    };
}

}  // namespace melodrop::scenario
