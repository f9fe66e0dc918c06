// The program as it ships: MelodropApp, built as melodrop's main() builds it (its real clock,
// audio player, settings file, desktop and player window), on each kind of chat client this build
// offers. Each kind loads and runs with its scanners told of the client's changes; on the
// simulated client a chat command typed in the room reaches the player; with no bridge running
// the bridge client's program starts, loads and goes on running without waiting for it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/CommandLine.h"
#include "app/MelodropApp.h"
#include "app/clients/SimulatedChatClient.h"
#include "player/QtSettingsStore.h"
#include "scenario/EnvironmentOverride.h"
#include "ui/InstanceLock.h"

using namespace melodrop;
using namespace melodrop::app;

namespace {

// Runs the event loop until `done` or the time is up (the shipped program runs on real time).
bool runUntil(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A port on 127.0.0.1 where nothing listens.
quint16 unusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// The program's files and settings in a temporary home, and the program itself on the chat
// client the command line names. Message boxes, should any come, are answered as a user would
// and kept.
class ShippedProgram {
public:
    explicit ShippedProgram(const QString& kind) {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            environment_.set(name, QFile::encodeName(home_.filePath(QString::fromLatin1(name))));
        QDir(home_.path()).mkpath(QStringLiteral("music"));
        QFile::copy(QStringLiteral(MELODROP_FIXTURES_DIR "/tones/tone-1s.mp3"),
                    home_.filePath(QStringLiteral("music/love song.mp3")));
        QtSettingsStore settings(home_.filePath(QStringLiteral("XDG_CONFIG_HOME")) +
                                 QStringLiteral("/melodrop/melodrop.ini"));
        settings.WriteSetting(QStringLiteral("trig"), QStringLiteral("/"));
        settings.WriteSetting(QStringLiteral("mp3dir"), home_.filePath(QStringLiteral("music")));
        settings.WriteSetting(QStringLiteral("advertise"), QStringLiteral("false"));

        const CommandLineOptions options = parseCommandLine(
            {QStringLiteral("melodrop"), QStringLiteral("--client"), kind,
             QStringLiteral("--bridge-port"), QString::number(unusedPort()),
             QStringLiteral("--bridge-token-file"), home_.filePath(QStringLiteral("no.token"))});
        EXPECT_TRUE(options.run) << options.error.toStdString();
        auto lock = std::make_shared<ui::InstanceLock>(home_.filePath(QStringLiteral("lock")));
        lock->take();
        answerer_.setInterval(5);
        QObject::connect(&answerer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->accept();
            }
        });
        answerer_.start();
        app = std::make_unique<MelodropApp>(options.client, std::move(lock));
    }
    ~ShippedProgram() { app.reset(); }

    std::unique_ptr<MelodropApp> app;
    QStringList boxes;

private:
    QTemporaryDir home_;
    scenario::EnvironmentOverride environment_;
    QTimer answerer_;
};

TEST(ShippedWiring, EachClientKindBuildsTheProgramThatLoadsAndRuns) {
    for (const QString& kind : clientKindNames()) {
        SCOPED_TRACE(kind.toStdString());
        QElapsedTimer took;
        took.start();
        ShippedProgram shipped(kind);
        Melodrop& program = shipped.app->program();
        program.load();
        // Running a while: a client that is not there is tried again and again, and never
        // waited for.
        runUntil([] { return false; }, 1200);
        EXPECT_FALSE(program.ended());
        // Both clients of this build tell of their changes: the scanners do not poll.
        EXPECT_TRUE(shipped.app->assembly().scanWatch().followsChanges());
        EXPECT_EQ(program.tracks().count(), 1);
        EXPECT_TRUE(program.state().chatcommands);
        EXPECT_LT(took.elapsed(), 10000);
    }
}

TEST(ShippedWiring, OnTheSimulatedClientACommandTypedInTheRoomPlays) {
    ShippedProgram shipped(QStringLiteral("sim"));
    Melodrop& program = shipped.app->program();
    program.load();
    auto& room = dynamic_cast<SimulatedChatClient&>(shipped.app->client());
    room.sim().userTypes("/play love");
    EXPECT_TRUE(
        runUntil([&] { return program.lblMP3Name() == QLatin1String("love song.mp3"); }, 5000));
    EXPECT_EQ(program.playback().openedPath(),
              program.tracks().pathOf(QStringLiteral("love song.mp3")));
}

}  // namespace
