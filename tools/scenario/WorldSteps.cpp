// Steps that change the world around the program in ways a hostile or just unlucky user would:
// the client's transcript bound, floods, long texts, special files, many files, a room that
// closes or a user who signs off under the program, a restart on the same settings and files,
// and the limits of a run.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "chat/TranscriptChatScanner.h"
#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"

namespace melodrop::scenario {

namespace {

constexpr qint64 kMostLines = 10'000'000;
constexpr qint64 kLongestDefinition = qint64{256} * 1024 * 1024;

// A whole number in [least, most], or nullopt.
std::optional<qint64> count(const QString& word, qint64 least, qint64 most) {
    bool ok = false;
    const qint64 n = word.toLongLong(&ok);
    if (!ok || n < least || n > most) return std::nullopt;
    return n;
}

QString numbered(const QString& text, qint64 n) {
    QString out = text;
    return out.replace(QStringLiteral("{n}"), QString::number(n));
}

bool isMember(ScenarioWorld& w, const QString& name) {
    for (const std::string& member : w.client().members())
        if (QString::fromStdString(member).compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

StepResult onlySimulated(const char* step) {
    return cannot(QStringLiteral("`%1` needs the simulated client").arg(QLatin1String(step)));
}

StepResult transcriptLimit(ScenarioWorld& w, const Step& s) {
    const auto n = count(s.words[0], 1, kMostLines);
    if (!n) return cannot(QStringLiteral("`transcript-limit` takes a number of lines, at least 1"));
    if (!w.sim()) return onlySimulated("transcript-limit");
    w.sim()->setTranscriptLimit(static_cast<std::size_t>(*n));
    return passed();
}

// N lines of one member, each on its own poll of the chat scanners.
StepResult flood(ScenarioWorld& w, const Step& s) {
    w.ensureRoom();
    const QString member = s.words[0];
    if (!isMember(w, member))
        return cannot(QStringLiteral("%1 is not in the room (add `join %1` first)").arg(member));
    const auto n = count(s.words[1], 1, kMostLines);
    if (!n) return cannot(QStringLiteral("`flood` takes a number of lines from 1 to 10000000"));
    const std::string name = member.toStdString();
    constexpr double kPoll = TranscriptWatch::kFastMilliseconds / 1000.0;
    for (qint64 i = 1; i <= *n; ++i) {
        w.client().memberSays(name, numbered(s.tail, i).toStdString());
        w.clock().advance(kPoll);
    }
    return passed();
}

StepResult define(ScenarioWorld& w, const Step& s) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_-]*$"));
    if (!name.match(s.words[0]).hasMatch())
        return cannot(
            QStringLiteral("a variable's name is letters, digits, _ and -: %1").arg(s.words[0]));
    const auto times = count(s.words[1], 0, kLongestDefinition);
    if (!times || *times * qMax<qint64>(1, s.tail.size()) > kLongestDefinition)
        return cannot(QStringLiteral("`define` makes texts of at most 256 MiB"));
    if (!w.define(s.words[0], s.tail.repeated(*times)))
        return cannot(QStringLiteral("${%1} is the runner's own variable").arg(s.words[0]));
    return passed();
}

StepResult fifo(ScenarioWorld& w, const Step& s) {
    const QString path = w.programPath(s.tail);
    if (!w.isInsideRun(path)) return outsideRun(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
        return cannot(QStringLiteral("cannot make the pipe %1").arg(path));
    return passed();
}

StepResult symlink(ScenarioWorld& w, const Step& s) {
    const QString path = w.programPath(s.words[0]);
    if (!w.isInsideRun(path)) return outsideRun(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    // The target may lie anywhere (/dev/zero); only the link is made, inside the run.
    if (!QFile::link(s.tail, path))
        return cannot(QStringLiteral("cannot make the link %1 -> %2").arg(path, s.tail));
    return passed();
}

// A file of N numbered lines, each ended by CR LF like a list file.
StepResult fileLines(ScenarioWorld& w, const Step& s) {
    const QString path = w.programPath(s.words[0]);
    if (!w.isInsideRun(path)) return outsideRun(path);
    const auto n = count(s.words[1], 0, kMostLines);
    if (!n) return cannot(QStringLiteral("`file-lines` takes a number of lines up to 10000000"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return cannot(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    QByteArray chunk;
    for (qint64 i = 1; i <= *n; ++i) {
        chunk += numbered(s.tail, i).toUtf8() + "\r\n";
        if (chunk.size() > 1 << 20 || i == *n) {
            if (file.write(chunk) != chunk.size())
                return cannot(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
            chunk.clear();
        }
    }
    return passed();
}

StepResult closeRoom(ScenarioWorld& w, const Step& s) {
    const std::string room = s.tail.toStdString();
    if (!w.sim()) return onlySimulated("close-room");
    if (w.sim()->roomWindow(room) == 0)
        return cannot(s.hasTail ? QStringLiteral("there is no open room %1").arg(s.tail)
                                : QStringLiteral("there is no open room"));
    w.sim()->closeRoom(room);
    return passed();
}

StepResult signOff(ScenarioWorld& w, const Step&) {
    if (!w.sim()) return onlySimulated("signoff");
    if (w.sim()->signedOnUser().empty()) return cannot(QStringLiteral("nobody is signed on"));
    w.sim()->signOff();
    return passed();
}

StepResult restart(ScenarioWorld& w, const Step& s) {
    const bool quick = !s.words.isEmpty();
    if (quick && s.words[0] != QLatin1String("quick"))
        return cannot(QStringLiteral("`restart` takes nothing or `quick`"));
    w.restart(quick);
    return passed();
}

StepResult limit(ScenarioWorld& w, const Step& s) {
    const QString what = s.words[0];
    if (what == QLatin1String("time")) {
        const auto seconds = parseDuration(s.words[1]);
        if (!seconds || *seconds <= 0)
            return cannot(QStringLiteral("`limit time` takes a duration: 30s, 2m"));
        w.limits().seconds = *seconds;
        return passed();
    }
    if (what == QLatin1String("memory")) {
        static const QRegularExpression size(QStringLiteral("^(\\d+)MB$"));
        const QRegularExpressionMatch match = size.match(s.words[1]);
        if (!match.hasMatch())
            return cannot(QStringLiteral("`limit memory` takes megabytes: 500MB"));
        w.limits().megabytes = match.captured(1).toDouble();
        return passed();
    }
    return cannot(QStringLiteral("`limit` takes `time DURATION` or `memory SIZE`"));
}

}  // namespace

std::vector<StepKind> worldSteps() {
    using T = TailRule;
    using B = BlockRule;
    return {
        {{"transcript-limit", 1, 1, T::None, B::None, "transcript-limit LINES"},
         Phase::Anytime,
         false,
         transcriptLimit},
        {{"flood", 2, 2, T::Required, B::None, "flood MEMBER N TEXT"}, Phase::Anytime, true, flood},
        {{"define", 2, 2, T::Optional, B::None, "define NAME TIMES TEXT"},
         Phase::Anytime,
         false,
         define},
        {{"fifo", 0, 0, T::Required, B::None, "fifo PATH"}, Phase::Anytime, false, fifo},
        {{"symlink", 1, 1, T::Required, B::None, "symlink PATH TARGET"},
         Phase::Anytime,
         false,
         symlink},
        {{"file-lines", 2, 2, T::Required, B::None, "file-lines PATH N TEXT"},
         Phase::Anytime,
         false,
         fileLines},
        {{"close-room", 0, 0, T::Optional, B::None, "close-room [NAME]"},
         Phase::Anytime,
         true,
         closeRoom},
        {{"signoff", 0, 0, T::None, B::None, "signoff"}, Phase::Anytime, true, signOff},
        {{"restart", 0, 1, T::None, B::None, "restart [quick]"}, Phase::Started, true, restart},
        {{"limit", 2, 2, T::None, B::None, "limit time DURATION | limit memory SIZE"},
         Phase::Anytime,
         false,
         limit},
    };
}

}  // namespace melodrop::scenario
