// What media keys and desktop media widgets see and do, apart from the bus: the commands take
// the player window's road (same announcements, same rules) and the properties follow whatever
// changed the program, the window, the chat commands or the keys themselves.
#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"
#include "mpris/MprisPlayer.h"
#include "scenario/EnvironmentOverride.h"

using namespace melodrop;
using namespace melodrop::testing;
using melodrop::mpris::MprisPlayer;

namespace {

class MprisPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Pictures of tags go to a cache folder of the test's own.
        environment.set("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
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

    QTemporaryDir cache;
    scenario::EnvironmentOverride environment;
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

// The tags of the open file: title, artist, album, track number and the cover, kept as a file
// of the cache folder; the file name where there is no tag; the file's address fully encoded.
TEST_F(MprisPlayerTest, MetadataComesFromTheTags) {
    const QString tagged = rig.mp3Path("Tagged Café #1.mp3");
    const QString plain = rig.mp3Path("plain tone.mp3");
    ASSERT_TRUE(QFile::copy(MELODROP_FIXTURES_DIR "/tones/tagged-latin1.mp3", tagged));
    ASSERT_TRUE(QFile::copy(MELODROP_FIXTURES_DIR "/tones/tone-1s.mp3", plain));
    m->tracks().refresh();

    m->playListed(m->tracks().entries().indexOf("Tagged Café #1.mp3"));
    QVariantMap data = keys->metadata();
    EXPECT_EQ(data.value("xesam:title").toString(), "Café del Mar");
    EXPECT_EQ(data.value("xesam:artist").toStringList(), QStringList{"Zoë"});
    EXPECT_EQ(data.value("xesam:album").toString(), "Früh");
    EXPECT_EQ(data.value("xesam:trackNumber").toInt(), 7);
    const QString url = data.value("xesam:url").toString();
    EXPECT_TRUE(url.endsWith("/Tagged%20Caf%C3%A9%20%231.mp3")) << qPrintable(url);
    EXPECT_EQ(QUrl(url).toLocalFile(), tagged);
    const QUrl art(data.value("mpris:artUrl").toString());
    EXPECT_TRUE(art.isLocalFile());
    EXPECT_TRUE(art.toLocalFile().startsWith(cache.path() + "/melodrop/cover-"));
    QFile cover(art.toLocalFile());
    ASSERT_TRUE(cover.open(QIODevice::ReadOnly));
    EXPECT_TRUE(cover.readAll().startsWith("\x89PNG"));

    m->playListed(m->tracks().entries().indexOf("plain tone.mp3"));
    data = keys->metadata();
    EXPECT_EQ(data.value("xesam:title").toString(), "plain tone");
    for (const char* key : {"xesam:artist", "xesam:album", "xesam:trackNumber", "mpris:artUrl"})
        EXPECT_FALSE(data.contains(key)) << key;
}

// Loop and shuffle are the `continuous` and `random` options, read and written; written, they
// do what the menu's toggles do (with the same announcements), and whatever switched them is
// reported.
TEST_F(MprisPlayerTest, LoopStatusAndShuffleAreContinuousAndRandom) {
    EXPECT_EQ(keys->loopStatus(), "None");
    EXPECT_FALSE(keys->shuffle());
    keys->setLoopStatus("Track");
    EXPECT_TRUE(m->state().continuous);
    EXPECT_EQ(lastChange(), (QVariantMap{{"LoopStatus", "Track"}}));
    changes->clear();
    keys->setLoopStatus("Track");  // already so: nothing more
    EXPECT_TRUE(changes->isEmpty());
    // Looping the list is continuous play too, and the client is told what it got.
    keys->setLoopStatus("Playlist");
    keys->setLoopStatus("nonsense");
    EXPECT_TRUE(m->state().continuous);
    EXPECT_EQ(changes->count(), 2);
    EXPECT_EQ(lastChange(), (QVariantMap{{"LoopStatus", "Track"}}));
    keys->setLoopStatus("None");
    EXPECT_EQ(keys->loopStatus(), "None");
    EXPECT_EQ(rig.settings.values["continuous"], "false");
    keys->setShuffle(true);
    EXPECT_TRUE(m->state().random);
    EXPECT_EQ(lastChange(), (QVariantMap{{"Shuffle", true}}));
    EXPECT_EQ(rig.settings.values["random"], "true");
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::SetContinuousOn, {}),
                                            line(Announcement::SetContinuousOff, {})}));
    rig.userTypes("randoff");  // a chat command
    EXPECT_FALSE(keys->shuffle());
    EXPECT_EQ(lastChange(), (QVariantMap{{"Shuffle", false}}));
    rig.userTypes("counton");
    EXPECT_EQ(lastChange(), (QVariantMap{{"LoopStatus", "Track"}}));
}

// What can be done is told as it is: on an empty list nothing plays or steps; play with a
// list and nothing selected plays the first file.
TEST_F(MprisPlayerTest, WhatCanBeDoneFollowsTheList) {
    TestRig empty;
    empty.settings.values["random"] = "false";
    Melodrop& e = empty.load();
    MprisPlayer none(e);
    EXPECT_FALSE(none.canPlay());
    EXPECT_FALSE(none.canGoNext());
    EXPECT_FALSE(none.canGoPrevious());
    EXPECT_FALSE(none.canSeek());
    EXPECT_FALSE(none.canPause());
    QSignalSpy reported(&none, &MprisPlayer::propertiesChanged);
    empty.addMp3s({"one.mp3"});
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0).at(0).toMap(),
              (QVariantMap{{"CanPlay", true}, {"CanGoNext", true}, {"CanGoPrevious", true}}));

    EXPECT_TRUE(keys->canPlay());
    keys->play();
    EXPECT_EQ(keys->playbackStatus(), "Playing");
    EXPECT_EQ(m->tracks().selectedIndex(), 0);
    EXPECT_TRUE(keys->canSeek());
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
              QUrl::fromLocalFile(rig.mp3Path("Love Song.mp3")).toString(QUrl::FullyEncoded));
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
