// melodrop as an MPRIS player on a session bus of the test's own: found by its name, driven by
// calls from another connection and from dbus-send, its changes signalled; quiet without a bus.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>

#include "base/AnnouncementLines.h"
#include "fakes/NeedOrSkip.h"
#include "fakes/TestRig.h"
#include "mpris/BusListener.h"
#include "mpris/MprisService.h"
#include "mpris/PrivateSessionBus.h"

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
    EXPECT_EQ(m->state().lblMP3Name, "Alpha.mp3");
    EXPECT_EQ(rig.player.opens(), QStringList{"Open " + rig.mp3Path("Alpha.mp3")});
    const QString identity = run({"org.freedesktop.DBus.Properties.Get",
                                  "string:org.mpris.MediaPlayer2", "string:Identity"});
    EXPECT_TRUE(identity.contains("string \"melodrop\"")) << qPrintable(identity);
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
