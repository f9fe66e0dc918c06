// Steps that prepare what the program finds: settings, MP3 files, files beside the program,
// the signed-on user and the room, the player, the update server.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "base/PlayerWindowModel.h"
#include "localserver/LocalHttpServer.h"
#include "player/QtSettingsStore.h"
#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"

namespace melodrop::scenario {

namespace {

StepResult writeFile(ScenarioWorld& w, const QString& path, const QByteArray& content) {
    if (!w.isInsideRun(path)) return outsideRun(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return cannot(QStringLiteral("cannot make the folder of %1").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        return cannot(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return passed();
}

StepResult signOn(ScenarioWorld& w, const Step& s) {
    if (!w.client().signedOnUser().empty())
        return cannot(QStringLiteral("`signon` must come before anything happens in the room"));
    w.client().signOn(s.tail.toStdString());
    return passed();
}

StepResult openRoom(ScenarioWorld& w, const Step& s) {
    if (w.client().signedOnUser().empty()) w.client().signOn(kDefaultUser.toStdString());
    w.client().openRoom(s.tail.toStdString());
    return passed();
}

StepResult storeSetting(ScenarioWorld& w, const Step& s) {
    w.settingsBeforeStart().WriteSetting(s.words[0], s.tail);
    return passed();
}

StepResult emptyMp3(ScenarioWorld& w, const Step& s) {
    if (s.tail.contains(QLatin1Char('/')))
        return cannot(QStringLiteral("an MP3 name cannot hold a folder: %1").arg(s.tail));
    return writeFile(w, QDir(w.mp3Folder()).filePath(s.tail), {});
}

// COUNT empty files NAME in the MP3 folder, "{n}" in the name standing for 1 to COUNT.
StepResult manyMp3s(ScenarioWorld& w, const Step& s) {
    bool ok = false;
    const qint64 count = s.words[0].toLongLong(&ok);
    if (!ok || count < 1 || count > 1'000'000)
        return cannot(
            QStringLiteral("`mp3s` takes `demo`, or a count from 1 to 1000000 and a name"));
    if (count > 1 && !s.tail.contains(QStringLiteral("{n}")))
        return cannot(QStringLiteral("the name needs {n} to make %1 different files").arg(count));
    if (s.tail.contains(QLatin1Char('/')))
        return cannot(QStringLiteral("an MP3 name cannot hold a folder: %1").arg(s.tail));
    const QDir folder(w.mp3Folder());
    for (qint64 i = 1; i <= count; ++i) {
        QString name = s.tail;
        QFile file(folder.filePath(name.replace(QStringLiteral("{n}"), QString::number(i))));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return cannot(
                QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }
    return passed();
}

StepResult demoMp3s(ScenarioWorld& w, const Step& s) {
    if (s.hasTail) return manyMp3s(w, s);
    if (s.words[0] != QLatin1String("demo"))
        return cannot(QStringLiteral("`mp3s` takes `demo` (the demo tracks beside the runner)"));
    const QDir demo(QDir(w.besideProgram()).filePath(QStringLiteral("demo")));
    const QStringList tracks = demo.entryList({QStringLiteral("*.mp3"), QStringLiteral("*.MP3"),
                                               QStringLiteral("*.Mp3"), QStringLiteral("*.mP3")},
                                              QDir::Files);
    if (tracks.isEmpty())
        return cannot(QStringLiteral("there are no demo tracks in %1").arg(demo.path()));
    for (const QString& track : tracks) {
        const QString target = QDir(w.mp3Folder()).filePath(track);
        QFile::remove(target);
        if (!QFile::copy(demo.filePath(track), target))
            return cannot(QStringLiteral("cannot copy %1").arg(demo.filePath(track)));
    }
    return passed();
}

// The text as UTF-8, each \xNN (two hexadecimal digits) standing for the byte NN.
QByteArray withByteEscapes(const QString& text) {
    QByteArray out;
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i + 3 < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || text[i + 1] != QLatin1Char('x')) continue;
        const auto hex = [](QChar c) {
            return c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c);
        };
        if (!hex(text[i + 2]) || !hex(text[i + 3])) continue;
        const int byte = text.mid(i + 2, 2).toInt(nullptr, 16);
        out += text.mid(plainFrom, i - plainFrom).toUtf8();
        out += static_cast<char>(byte);
        i += 3;
        plainFrom = i + 1;
    }
    return out + text.mid(plainFrom).toUtf8();
}

StepResult fileBesideProgram(ScenarioWorld& w, const Step& s) {
    QString content = s.tail;
    if (s.hasBlock)
        content = s.block.isEmpty() ? QString() : s.block.join(QLatin1Char('\n')) + '\n';
    return writeFile(w, w.programPath(s.words[0]), withByteEscapes(content));
}

StepResult picture(ScenarioWorld& w, const Step& s) {
    const QColor color = QColor::fromString(s.words[1]);
    if (!color.isValid()) return cannot(QStringLiteral("`%1` is not a colour").arg(s.words[1]));
    QImage image(kWindowWidthTwips / kTwipsPerPixel, kRolledDownTwips / kTwipsPerPixel,
                 QImage::Format_RGB32);
    image.fill(color);
    const QString path = w.programPath(s.words[0]);
    if (!w.isInsideRun(path)) return outsideRun(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path))
        return cannot(QStringLiteral("cannot save a picture as %1 (use .bmp or .png)").arg(path));
    return passed();
}

StepResult choosePlayer(ScenarioWorld& w, const Step& s) {
    const QString which = s.words[0];
    if (which != QLatin1String("silent") && which != QLatin1String("audio"))
        return cannot(QStringLiteral("`player` takes `silent` or `audio`"));
    w.choosePlayer(which == QLatin1String("silent"));
    return passed();
}

StepResult serve(ScenarioWorld& w, const Step& s) {
    if (w.started() && !w.server())
        return cannot(QStringLiteral(
            "the program was started without the local update server; put a `server` line "
            "before `start`"));
    LocalHttpServer& server = w.startServer();
    if (!server.isListening())
        return cannot(QStringLiteral("the local HTTP server cannot listen: ") +
                      server.errorString());
    server.serve(s.words[0], unescape(s.tail).toUtf8());
    return passed();
}

}  // namespace

std::vector<StepKind> setupSteps() {
    using T = TailRule;
    using B = BlockRule;
    return {
        {{"signon", 0, 0, T::Required, B::None, "signon NAME"}, Phase::BeforeStart, false, signOn},
        {{"room", 0, 0, T::Required, B::None, "room NAME"}, Phase::Anytime, true, openRoom},
        {{"setting", 1, 1, T::Optional, B::None, "setting KEY [VALUE]"},
         Phase::BeforeStart,
         false,
         storeSetting},
        {{"mp3", 0, 0, T::Required, B::None, "mp3 NAME"}, Phase::Anytime, false, emptyMp3},
        {{"mp3s", 1, 1, T::Optional, B::None, "mp3s demo | mp3s COUNT NAME"},
         Phase::Anytime,
         false,
         demoMp3s},
        {{"file", 1, 1, T::Optional, B::InsteadOfTail, "file PATH TEXT | file PATH ... end"},
         Phase::Anytime,
         false,
         fileBesideProgram},
        {{"picture", 2, 2, T::None, B::None, "picture PATH COLOR"}, Phase::Anytime, false, picture},
        {{"player", 1, 1, T::None, B::None, "player silent|audio"},
         Phase::BeforeStart,
         false,
         choosePlayer},
        {{"server", 1, 1, T::Optional, B::None, "server PATH [BODY]"},
         Phase::Anytime,
         false,
         serve},
    };
}

}  // namespace melodrop::scenario
