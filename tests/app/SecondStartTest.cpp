// A later start of the real melodrop program while one runs (here: the program's logic with its
// real desktop and player window, holding the lock and serving the channel as the running
// program does): it brings the running window forward, or hands it a file to play, and ends at
// once, without a welcome box of its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "fakes/TestRig.h"
#include "ui/InstanceChannel.h"
#include "ui/InstanceLock.h"
#include "ui/OtherStarts.h"
#include "ui/PlayerWindow.h"
#include "ui/QtDesktop.h"

using namespace melodrop;
using namespace melodrop::testing;
using namespace melodrop::ui;

namespace {

struct Ended {
    int exitCode = -1;
    QString output;
};

class SecondStart : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ASSERT_EQ(lock.take(), InstanceLock::Outcome::Held);
        ASSERT_TRUE(server.listen());
        QFile immune(rig.programFolder() + QStringLiteral("/immune.txt"));
        ASSERT_TRUE(immune.open(QIODevice::WriteOnly));
        immune.close();
        rig.addMp3s({QStringLiteral("a.mp3")});
        options.lockFilePath = runtime.filePath(QStringLiteral("desktop.lock"));
        options.trayAvailable = [] { return true; };
        options.endProcess = [] {};
        desktop = std::make_unique<QtDesktop>(options);
        assembly = std::make_unique<Assembly>(rig.boundaries(*desktop));
        melodrop = &assembly->program();
        melodrop->load();
        window = std::make_unique<PlayerWindow>(*melodrop);
        desktop->setPlayerWindow(window.get());
        connectToMelodrop(*desktop, *melodrop);
        desktop->showPlayer();
        QObject::connect(&server, &InstanceServer::requested, melodrop,
                         [this](const InstanceRequest& request) {
                             answerOtherStart(*desktop, *melodrop, request);
                         });
    }

    // The real program, started again; events are handled (the running side answers on this
    // thread) until it has ended.
    Ended startAgain(const QStringList& arguments) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("c")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("d")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        QSignalSpy ended(&program, &QProcess::finished);
        program.start(QStringLiteral(MELODROP_RUNTIME_DIR "/melodrop"), arguments);
        // A welcome box would keep it from ever ending on its own.
        if (!ended.wait(20000)) {
            program.kill();
            program.waitForFinished();
            return {-1, QStringLiteral("did not end")};
        }
        return {program.exitCode(), QString::fromLocal8Bit(program.readAll())};
    }

    QTemporaryDir runtime, home, music;
    InstanceLock lock{runtime.filePath(QStringLiteral("melodrop.lock"))};
    InstanceServer server{runtime.filePath(QStringLiteral("melodrop.socket"))};
    TestRig rig;
    QtDesktopOptions options;
    std::unique_ptr<QtDesktop> desktop;
    std::unique_ptr<Assembly> assembly;
    Melodrop* melodrop = nullptr;
    std::unique_ptr<PlayerWindow> window;
};

}  // namespace

TEST_F(SecondStart, BringsTheRunningWindowForwardAndEnds) {
    desktop->minimizePlayer();
    ASSERT_TRUE(window->isMinimized());
    const Ended plain = startAgain({});
    EXPECT_EQ(plain.exitCode, 0) << qPrintable(plain.output);
    EXPECT_EQ(plain.output, QString());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());

    // From the tray too: the window comes back and the icon goes, as the icon's click does.
    melodrop->menuTriggered(QStringLiteral("minimizetosystray"));
    ASSERT_FALSE(window->isVisible());
    EXPECT_EQ(startAgain({}).exitCode, 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(desktop->hiddenToTray());
    EXPECT_TRUE(rig.player.opens().isEmpty());
}

TEST_F(SecondStart, HandsItsFileToTheRunningProgramWhichPlaysItFromItsFolder) {
    QDir(music.path()).mkpath(QStringLiteral("Neue Lieder"));
    const QString song = music.filePath(QStringLiteral("Neue Lieder/mein lied.mp3"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MELODROP_FIXTURES_DIR "/tones/tone-1s.mp3"), song));
    QFile::copy(song, music.filePath(QStringLiteral("Neue Lieder/anderes.mp3")));
    const Ended handed = startAgain({song});
    EXPECT_EQ(handed.exitCode, 0) << qPrintable(handed.output);
    EXPECT_EQ(rig.player.openedPath, song);
    EXPECT_EQ(melodrop->tracks().folder(), QDir::toNativeSeparators(QFileInfo(song).path()));
    EXPECT_EQ(melodrop->tracks().selectedName(), QStringLiteral("mein lied.mp3"));
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("mp3dir")), melodrop->tracks().folder());

    // A file that is not there is the later start's own usage error; the running one is left
    // alone.
    const Ended missing = startAgain({music.filePath(QStringLiteral("gone.mp3"))});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.output.startsWith(QStringLiteral("melodrop: no such file: '")))
        << qPrintable(missing.output);
    EXPECT_EQ(rig.player.opens().size(), 1);
}
