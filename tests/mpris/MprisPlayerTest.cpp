// What media keys and desktop media widgets see and do, apart from the bus: the commands take
// the player window's road (same announcements, same rules) and the properties follow whatever
// changed the program, the window, the chat commands or the keys themselves.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QUrl>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"
#include "mpris/MprisPlayer.h"

using namespace melodrop;
using namespace melodrop::testing;
using melodrop::mpris::MprisPlayer;

namespace {

class MprisPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.addMp3s({"Alpha.mp3", "Love Song.mp3", "Zulu.mp3"});
        rig.settings.values["random"] = "false";
        rig.settings.values["continuous"] = "false";
        m = &rig.load();
        rig.player.length = 200;
        rig.takeLines();
        rig.player.calls.clear();
        keys = std::make_unique<MprisPlayer>(*m);
        changes = std::make_unique<QSignalSpy>(keys.get(), &MprisPlayer::propertiesChanged);
    }
    QString line(Announcement kind, const QString& value) { return announcementLine(kind, value); }
    QString open(const QString& name) { return "Open " + rig.mp3Path(name); }
    QVariantMap lastChange() {
        return changes->isEmpty() ? QVariantMap() : changes->last().at(0).toMap();
    }

    TestRig rig;
    Melodrop* m = nullptr;
    std::unique_ptr<MprisPlayer> keys;
    std::unique_ptr<QSignalSpy> changes;
};

}  // namespace

TEST_F(MprisPlayerTest, PlayPauseTakesThePlayAndPauseButtonsRoad) {
    m->tracks().select(1);
    keys->playPause();  // nothing plays: the play button
    EXPECT_EQ(rig.player.calls, QStringList{open("Love Song.mp3")});
    EXPECT_EQ(keys->playbackStatus(), "Playing");
    keys->playPause();  // playing: the pause button
    EXPECT_EQ(keys->playbackStatus(), "Paused");
    EXPECT_TRUE(m->window().paused());
    keys->playPause();  // paused: the play button resumes
    EXPECT_EQ(keys->playbackStatus(), "Playing");
    EXPECT_EQ(rig.player.calls, (QStringList{open("Love Song.mp3"), "Pause", "Play"}));
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::Playing, "love song.mp3"),
                                            line(Announcement::Pausing, "love song.mp3"),
                                            line(Announcement::Upaused, "love song.mp3")}));
}

TEST_F(MprisPlayerTest, PlayWhilePlayingAndPauseWhileNotPlayingChangeNothing) {
    keys->pause();
    keys->next();
    rig.takeLines();
    rig.player.calls.clear();
    keys->play();
    keys->play();
    EXPECT_TRUE(rig.player.calls.isEmpty());
    keys->stop();
    keys->pause();
    EXPECT_EQ(rig.player.calls, QStringList{"Stop"});
    EXPECT_EQ(rig.takeLines(), QStringList{line(Announcement::Stopped, "alpha.mp3")});
    EXPECT_EQ(keys->playbackStatus(), "Stopped");
}

TEST_F(MprisPlayerTest, NextPreviousAndStopAreTheWindowsButtons) {
    keys->next();
    keys->next();
    keys->previous();
    keys->stop();
    EXPECT_EQ(rig.player.calls,
              (QStringList{open("Alpha.mp3"), open("Love Song.mp3"), open("Alpha.mp3"), "Stop"}));
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::Playing, "alpha.mp3"),
                                            line(Announcement::Playing, "love song.mp3"),
                                            line(Announcement::Playing, "alpha.mp3"),
                                            line(Announcement::Stopped, "alpha.mp3")}));
}

TEST_F(MprisPlayerTest, MetadataNamesTheOpenTrack) {
    const QVariantMap none = keys->metadata();
    EXPECT_EQ(none.value("mpris:trackid").value<QDBusObjectPath>().path(), mpris::kNoTrack);
    EXPECT_EQ(none.size(), 1);
    EXPECT_FALSE(keys->canSeek());
    EXPECT_FALSE(keys->canPause());

    m->playListed(1);
    const QVariantMap data = keys->metadata();
    EXPECT_EQ(data.value("xesam:title").toString(), "Love Song");
    EXPECT_EQ(data.value("xesam:url").toString(),
              QUrl::fromLocalFile(rig.mp3Path("Love Song.mp3")).toString());
    EXPECT_EQ(data.value("mpris:length").toLongLong(), 200'000'000);
    const QString first = data.value("mpris:trackid").value<QDBusObjectPath>().path();
    EXPECT_NE(first, mpris::kNoTrack);
    EXPECT_TRUE(keys->canSeek());
    EXPECT_TRUE(keys->canPause());
    // The same file played again is another track.
    m->playListed(1);
    EXPECT_NE(keys->metadata().value("mpris:trackid").value<QDBusObjectPath>().path(), first);
}

TEST_F(MprisPlayerTest, ChangesAreReportedOnceWhateverMadeThem) {
    rig.userTypes("play love");  // a chat command
    ASSERT_FALSE(changes->isEmpty());
    QVariantMap changed = lastChange();
    EXPECT_EQ(changed.value("PlaybackStatus").toString(), "Playing");
    EXPECT_EQ(changed.value("Metadata").toMap().value("xesam:title").toString(), "Love Song");
    EXPECT_TRUE(changed.value("CanPause").toBool());

    changes->clear();
    m->sliderMoved(40);  // the window's slider
    ASSERT_EQ(changes->count(), 1);
    EXPECT_EQ(lastChange(), (QVariantMap{{"Volume", 0.4}}));

    changes->clear();
    m->sliderMoved(40);
    rig.userTypes("song?");
    EXPECT_TRUE(changes->isEmpty());  // nothing changed: nothing reported

    m->pause();
    EXPECT_EQ(lastChange().value("PlaybackStatus").toString(), "Paused");
    rig.player.finishTrack();
    EXPECT_EQ(lastChange().value("PlaybackStatus").toString(), "Stopped");
}

TEST_F(MprisPlayerTest, SeekMovesByTheOffsetAndReportsTheNewPosition) {
    QSignalSpy seeks(keys.get(), &MprisPlayer::seeked);
    keys->seek(5'000'000);  // nothing open
    EXPECT_TRUE(rig.player.calls.isEmpty());

    m->playListed(0);
    rig.player.position = 20;
    keys->seek(10'000'000);
    EXPECT_EQ(rig.player.calls.last(), "Position 30");
    EXPECT_EQ(keys->position(), 30'000'000);
    keys->seek(-45'000'000);  // before the start: the player plays from the start
    EXPECT_EQ(rig.player.calls.last(), "Position -15");
    m->fastForward();  // the window's button is reported too
    ASSERT_EQ(seeks.count(), 3);
    EXPECT_EQ(seeks.at(0).at(0).toLongLong(), 30'000'000);
    EXPECT_TRUE(rig.takeLines().size() == 1);  // only the playing line: seeks announce nothing
}

TEST_F(MprisPlayerTest, SetPositionOnlyForTheOpenTrackAndInsideIt) {
    m->playListed(0);
    const auto track = keys->metadata().value("mpris:trackid").value<QDBusObjectPath>();
    rig.player.calls.clear();
    keys->setPosition(QDBusObjectPath("/melodrop/track/999"), 1'000'000);
    keys->setPosition(track, -1);
    keys->setPosition(track, 201'000'000);
    EXPECT_TRUE(rig.player.calls.isEmpty());
    keys->setPosition(track, 12'500'000);
    EXPECT_EQ(rig.player.calls, QStringList{"Position 12.5"});
}

TEST_F(MprisPlayerTest, VolumeIsTheSlider) {
    EXPECT_DOUBLE_EQ(keys->volume(), 0.9);  // the slider's first position
    keys->setVolume(0.4);
    EXPECT_EQ(m->window().slider(), 40);
    EXPECT_EQ(rig.player.volume, -1500);
    EXPECT_EQ(rig.settings.values["vol"], "40");
    keys->setVolume(3.0);
    EXPECT_EQ(m->window().slider(), 100);
    keys->setVolume(-1.0);
    EXPECT_EQ(m->window().slider(), 0);
    keys->setVolume(std::nan(""));
    EXPECT_EQ(m->window().slider(), 0);
    rig.userTypes("vol 70");  // the chat command moves it too
    EXPECT_DOUBLE_EQ(keys->volume(), 0.7);
}

TEST_F(MprisPlayerTest, RaiseBringsThePlayerBackAsTheTrayIconDoes) {
    m->menuTriggered("minimizetosystray");
    rig.desktop.requests.clear();
    keys->raise();
    EXPECT_EQ(rig.desktop.requests, (QStringList{"show", "tray remove"}));
}

TEST_F(MprisPlayerTest, AfterTheProgramEndedNothingHappens) {
    rig.userTypes("exit");
    ASSERT_TRUE(m->ended());
    rig.player.calls.clear();
    keys->playPause();
    keys->next();
    keys->setVolume(0.1);
    EXPECT_TRUE(rig.player.calls.isEmpty());
}
