// melodrop as an MPRIS player on a session bus of the test's own: found by its name, driven by
// calls from another connection and from dbus-send, its changes signalled; quiet without a bus.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "base/AnnouncementLines.h"
#include "fakes/NeedOrSkip.h"
#include "fakes/TestRig.h"
#include "mpris/BusListener.h"
#include "mpris/MprisService.h"
#include "mpris/PrivateSessionBus.h"
#include "scenario/EnvironmentOverride.h"

using namespace melodrop;
using namespace melodrop::testing;
using namespace melodrop::mpris;

namespace {

constexpr int kReplyMs = 10000;

// D-Bus hands a{sv} values over as arguments still to be read.
QVariant plain(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value);
    return value;
}

class MprisBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_PRIVATE_BUS(bus);
        // Pictures of tags go to a cache folder of the test's own.
        environment.set("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        rig.addMp3s({"Alpha.mp3", "Love Song.mp3"});
        rig.settings.values["random"] = "false";
        rig.settings.values["continuous"] = "false";
        m = &rig.load();
        rig.player.length = 120;
        rig.takeLines();
        service = std::make_unique<MprisService>(*m);
        ASSERT_TRUE(service->publish(bus.connect(QStringLiteral("program"))));
        client = bus.connect(QStringLiteral("client"));
        ASSERT_TRUE(client.isConnected());
        listener = std::make_unique<BusListener>(client, kServiceName, kObjectPath);
    }

    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(kServiceName, kObjectPath, interface, method);
        message.setArguments(arguments);
        // Keeps handling events while it waits: the program answers on this thread.
        return client.call(message, QDBus::BlockWithGui, kReplyMs);
    }
    QVariant property(const QString& interface, const QString& name) {
        const QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {interface, name});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
        return plain(reply.arguments().value(0).value<QDBusVariant>().variant());
    }
    QVariant player(const QString& name) { return property(kPlayerInterface, name); }
    // Waits (for the bus, at most a few seconds) until the listener has heard `count` signals.
    bool heard(qsizetype count) {
        QSignalSpy spy(listener.get(), &BusListener::received);
        while (listener->changes.size() + listener->seeks.size() < count)
            if (!spy.wait(kReplyMs)) return false;
        return true;
    }

    QTemporaryDir cache;
    scenario::EnvironmentOverride environment;
    PrivateSessionBus bus;
    TestRig rig;
    Melodrop* m = nullptr;
    std::unique_ptr<MprisService> service;
    QDBusConnection client{QString()};
    std::unique_ptr<BusListener> listener;
};

}  // namespace

TEST_F(MprisBusTest, ThePlayerIsFoundByItsNameWithBothInterfaces) {
    EXPECT_EQ(property(kRootInterface, "Identity").toString(), "melodrop");
    EXPECT_EQ(property(kRootInterface, "DesktopEntry").toString(), MELODROP_APP_ID);
    EXPECT_EQ(property(kRootInterface, "CanRaise").toBool(), true);
    EXPECT_EQ(property(kRootInterface, "CanQuit").toBool(), false);
    EXPECT_EQ(player("PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(player("CanControl").toBool(), true);
    EXPECT_EQ(player("CanGoNext").toBool(), true);
    EXPECT_DOUBLE_EQ(player("Rate").toDouble(), 1.0);

    const QDBusMessage introspection =
        call(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    const QString xml = introspection.arguments().value(0).toString();
    for (const char* part :
         {"interface name=\"org.mpris.MediaPlayer2\"",
          "interface name=\"org.mpris.MediaPlayer2.Player\"", "method name=\"PlayPause\"",
          "method name=\"SetPosition\"", "signal name=\"Seeked\"",
          "property name=\"Metadata\" type=\"a{sv}\"", "property name=\"Position\" type=\"x\""})
        EXPECT_TRUE(xml.contains(QLatin1String(part))) << part;
}

TEST_F(MprisBusTest, PlayPauseFromTheBusIsThePlayersButtonsAndIsSignalled) {
    m->tracks().select(1);
    EXPECT_EQ(call(kPlayerInterface, "PlayPause").type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(heard(1));
    EXPECT_EQ(listener->interfaces.value(0), kPlayerInterface);
    EXPECT_EQ(listener->changes.value(0).value("PlaybackStatus").toString(), "Playing");
    const QVariantMap metadata = player("Metadata").toMap();
    EXPECT_EQ(metadata.value("xesam:title").toString(), "Love Song");
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 120'000'000);

    call(kPlayerInterface, "PlayPause");
    ASSERT_TRUE(heard(2));
    EXPECT_EQ(listener->changes.value(1).value("PlaybackStatus").toString(), "Paused");
    EXPECT_EQ(rig.takeLines(),
              (QStringList{announcementLine(Announcement::Playing, "love song.mp3"),
                           announcementLine(Announcement::Pausing, "love song.mp3")}));
}

TEST_F(MprisBusTest, VolumeWrittenOnTheBusMovesTheSlider) {
    const QDBusMessage reply =
        call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
             {kPlayerInterface, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(0.25))});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
    EXPECT_EQ(m->window().slider(), 25);
    EXPECT_EQ(rig.settings.values["vol"], "25");
    ASSERT_TRUE(heard(1));
    EXPECT_EQ(listener->changes.value(0), (QVariantMap{{"Volume", 0.25}}));
}

TEST_F(MprisBusTest, SeekMovesThePositionAndIsSignalled) {
    m->playListed(0);
    ASSERT_TRUE(heard(1));
    call(kPlayerInterface, "Seek", {QVariant::fromValue(qlonglong(10'000'000))});
    ASSERT_TRUE(heard(2));
    EXPECT_EQ(listener->seeks, QList<qlonglong>{10'000'000});
    EXPECT_EQ(player("Position").toLongLong(), 10'000'000);
}

TEST_F(MprisBusTest, AnOutsideClientDrivesItWithDbusSend) {
    const QString dbusSend = QStandardPaths::findExecutable("dbus-send");
    MELODROP_NEED(!dbusSend.isEmpty(), "dbus-send is not installed");
    auto run = [&](const QStringList& arguments) {
        QProcess process;
        process.start(dbusSend, QStringList{"--bus=" + bus.address(), "--print-reply",
                                            "--dest=" + kServiceName, kObjectPath} +
                                    arguments);
        // The program answers on this thread: keep handling events until dbus-send is done.
        QSignalSpy done(&process, &QProcess::finished);
        EXPECT_TRUE(done.wait(kReplyMs));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    run({"org.mpris.MediaPlayer2.Player.Next"});
    EXPECT_EQ(m->lblMP3Name(), "Alpha.mp3");
    EXPECT_EQ(rig.player.opens(), QStringList{"Open " + rig.mp3Path("Alpha.mp3")});
    const QString identity = run({"org.freedesktop.DBus.Properties.Get",
                                  "string:org.mpris.MediaPlayer2", "string:Identity"});
    EXPECT_TRUE(identity.contains("string \"melodrop\"")) << qPrintable(identity);
}

namespace {

struct Said {
    int exitCode = -1;
    QString out;
    QString err;
};

// playerctl, a real MPRIS client, on the test's bus. The program answers on this thread: events
// are handled until playerctl is done.
Said playerctl(const PrivateSessionBus& bus, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    process.setProcessEnvironment(environment);
    process.start(QStandardPaths::findExecutable("playerctl"),
                  QStringList{"--player=melodrop"} + arguments);
    QSignalSpy done(&process, &QProcess::finished);
    if (process.state() != QProcess::NotRunning && !done.wait(kReplyMs)) process.kill();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
            QString::fromUtf8(process.readAllStandardError()).trimmed()};
}

#define REQUIRE_PLAYERCTL()                                               \
    MELODROP_NEED(!QStandardPaths::findExecutable("playerctl").isEmpty(), \
                  "playerctl is not installed")

}  // namespace

// What `playerctl metadata` shows of a tagged file and of one without tags, with its address
// percent-encoded.
TEST_F(MprisBusTest, PlayerctlShowsTheTagsOrTheFileName) {
    REQUIRE_PLAYERCTL();
    ASSERT_TRUE(QFile::copy(MELODROP_FIXTURES_DIR "/tones/tagged-utf16.mp3",
                            rig.mp3Path("東京 tagged.mp3")));
    ASSERT_TRUE(
        QFile::copy(MELODROP_FIXTURES_DIR "/tones/tagged-latin1.mp3", rig.mp3Path("latin.mp3")));
    m->tracks().refresh();
    m->playListed(m->tracks().entries().indexOf("latin.mp3"));
    EXPECT_EQ(playerctl(bus, {"metadata", "--format",
                              "{{xesam:title}}|{{xesam:artist}}|{{xesam:album}}|"
                              "{{xesam:trackNumber}}|{{mpris:length}}"})
                  .out,
              "Café del Mar|Zoë|Früh|7|120000000");
    const QString art = playerctl(bus, {"metadata", "mpris:artUrl"}).out;
    EXPECT_TRUE(art.startsWith("file://" + cache.path() + "/melodrop/cover-")) << qPrintable(art);
    EXPECT_TRUE(QFile::exists(QUrl(art).toLocalFile()));

    m->playListed(m->tracks().entries().indexOf("東京 tagged.mp3"));
    EXPECT_EQ(playerctl(bus, {"metadata", "xesam:title"}).out, "東京の夜");
    EXPECT_EQ(playerctl(bus, {"metadata", "xesam:artist"}).out, "Кино");
    const QString url = playerctl(bus, {"metadata", "xesam:url"}).out;
    EXPECT_TRUE(url.endsWith("/%E6%9D%B1%E4%BA%AC%20tagged.mp3")) << qPrintable(url);

    m->playListed(m->tracks().entries().indexOf("Love Song.mp3"));  // no tags (not even audio)
    EXPECT_EQ(playerctl(bus, {"metadata", "--format", "{{xesam:title}}|{{xesam:artist}}"}).out,
              "Love Song|");
}

TEST_F(MprisBusTest, PlayerctlSetsLoopAndShuffleBothWays) {
    REQUIRE_PLAYERCTL();
    EXPECT_EQ(playerctl(bus, {"loop"}).out, "None");
    EXPECT_EQ(playerctl(bus, {"shuffle"}).out, "Off");
    EXPECT_EQ(playerctl(bus, {"loop", "Track"}).exitCode, 0);
    EXPECT_TRUE(m->state().continuous);
    EXPECT_EQ(playerctl(bus, {"shuffle", "On"}).exitCode, 0);
    EXPECT_TRUE(m->state().random);
    EXPECT_EQ(playerctl(bus, {"loop"}).out, "Track");
    EXPECT_EQ(playerctl(bus, {"shuffle"}).out, "On");
    EXPECT_EQ(playerctl(bus, {"loop", "None"}).exitCode, 0);
    // Looping the list is the one way of looping melodrop has: continuous play, told as "Track".
    EXPECT_EQ(playerctl(bus, {"loop", "Playlist"}).exitCode, 0);
    EXPECT_EQ(playerctl(bus, {"loop"}).out, "Track");
    EXPECT_EQ(playerctl(bus, {"loop", "None"}).exitCode, 0);
    EXPECT_EQ(playerctl(bus, {"shuffle", "Off"}).exitCode, 0);
    EXPECT_FALSE(m->state().continuous);
    EXPECT_FALSE(m->state().random);
    // The menu's announcements for continuous; random is switched silently, as from the menu.
    const QString on = announcementLine(Announcement::SetContinuousOn, {});
    const QString off = announcementLine(Announcement::SetContinuousOff, {});
    EXPECT_EQ(rig.takeLines(), (QStringList{on, off, on, off}));
}

TEST_F(MprisBusTest, OnAnEmptyListNothingCanPlayAndPlayerctlPlayChangesNothing) {
    REQUIRE_PLAYERCTL();
    QTemporaryDir nothing;
    m->folderDialogOk(nothing.path());
    ASSERT_EQ(m->tracks().count(), 0);
    for (const char* can : {"CanPlay", "CanGoNext", "CanGoPrevious", "CanSeek", "CanPause"})
        EXPECT_FALSE(player(can).toBool()) << can;
    playerctl(bus, {"play-pause"});
    EXPECT_EQ(playerctl(bus, {"status"}).out, "Stopped");
    EXPECT_TRUE(rig.player.opens().isEmpty());

    m->folderDialogOk(rig.mp3Folder());  // back to the list, nothing selected
    EXPECT_TRUE(player("CanPlay").toBool());
    EXPECT_EQ(playerctl(bus, {"play-pause"}).exitCode, 0);
    EXPECT_EQ(playerctl(bus, {"status"}).out, "Playing");
    EXPECT_EQ(m->lblMP3Name(), "Alpha.mp3");
}

TEST_F(MprisBusTest, ASecondPlayerCannotTakeTheName) {
    MprisService second(*m);
    EXPECT_FALSE(second.publish(bus.connect(QStringLiteral("second"))));
    EXPECT_EQ(property(kRootInterface, "Identity").toString(), "melodrop");
}

namespace {
QStringList logged;
void recordMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    logged << message;
}
}  // namespace

TEST(MprisWithoutABus, TheProgramRunsOnAndSaysNothing) {
    TestRig rig;
    Melodrop& m = rig.load();
    MprisService service(m);
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordMessage);
    const bool published = service.publish(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/melodrop-bus"), QStringLiteral("nowhere")));
    qInstallMessageHandler(previous);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
    EXPECT_FALSE(published);
    EXPECT_FALSE(service.published());
    EXPECT_TRUE(logged.isEmpty()) << qPrintable(logged.join('\n'));
    m.sliderMoved(10);  // changes go nowhere, quietly
    EXPECT_EQ(m.window().slider(), 10);
}
