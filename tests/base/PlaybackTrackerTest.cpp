// What the program knows of its media player: every call passes through the tracker on its way
// to the player, which keeps the status and the opened file and says when they change.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "base/PlaybackTracker.h"
#include "fakes/FakeMediaPlayer.h"

using namespace melodrop;
using namespace melodrop::testing;
using Status = PlaybackTracker::Status;

namespace {

class PlaybackTrackerTest : public ::testing::Test {
protected:
    FakeMediaPlayer player;
    PlaybackTracker tracker{player};
    QSignalSpy changes{&tracker, &PlaybackTracker::changed};
};

}  // namespace

TEST_F(PlaybackTrackerTest, FollowsOpenPausePlayStopAndTheEndOfATrack) {
    EXPECT_EQ(tracker.status(), Status::Stopped);
    EXPECT_EQ(tracker.openedPath(), "");

    ASSERT_TRUE(tracker.Open("/music/a.mp3"));
    EXPECT_EQ(player.calls, QStringList{"Open /music/a.mp3"});
    EXPECT_EQ(tracker.status(), Status::Playing);
    EXPECT_EQ(tracker.openedPath(), "/music/a.mp3");
    EXPECT_EQ(tracker.trackNumber(), 1);

    tracker.Pause();
    EXPECT_EQ(tracker.status(), Status::Paused);
    tracker.Play();
    EXPECT_EQ(tracker.status(), Status::Playing);
    tracker.Stop();
    EXPECT_EQ(tracker.status(), Status::Stopped);
    EXPECT_EQ(tracker.openedPath(), "/music/a.mp3");  // the track stays, from its start
    tracker.Play();
    EXPECT_EQ(tracker.status(), Status::Playing);
    EXPECT_EQ(changes.count(), 5);

    QSignalSpy ends(&tracker, &MediaPlayer::TrackEnded);
    player.finishTrack();
    EXPECT_EQ(tracker.status(), Status::Stopped);
    EXPECT_EQ(ends.count(), 1);
    EXPECT_EQ(player.calls.size(), 5);  // nothing was called on the player for it
}

TEST_F(PlaybackTrackerTest, AFileThatFailsToOpenLeavesNothingOpen) {
    tracker.Open("/music/a.mp3");
    player.failingPaths << "/music/broken.mp3";
    EXPECT_FALSE(tracker.Open("/music/broken.mp3"));
    EXPECT_EQ(tracker.status(), Status::Stopped);
    EXPECT_EQ(tracker.openedPath(), "");
    EXPECT_EQ(tracker.trackNumber(), 1);
    // Nothing to resume: pausing and playing change nothing.
    tracker.Pause();
    tracker.Play();
    EXPECT_EQ(tracker.status(), Status::Stopped);
}

TEST_F(PlaybackTrackerTest, PausingWhenNotPlayingStaysPut) {
    tracker.Open("/music/a.mp3");
    tracker.Stop();
    tracker.Pause();
    EXPECT_EQ(tracker.status(), Status::Stopped);
}

TEST_F(PlaybackTrackerTest, OpeningTheSameFileAgainIsANewTrack) {
    tracker.Open("/music/a.mp3");
    tracker.Open("/music/a.mp3");
    EXPECT_EQ(tracker.trackNumber(), 2);
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(PlaybackTrackerTest, SeeksAreReportedWithTheNewPositionAndPassedOn) {
    QSignalSpy seeks(&tracker, &PlaybackTracker::seeked);
    tracker.SetCurrentPosition(3);  // nothing open: nothing to report
    EXPECT_EQ(seeks.count(), 0);
    tracker.Open("/music/a.mp3");
    player.length = 180;
    tracker.SetCurrentPosition(42.5);
    ASSERT_EQ(seeks.count(), 1);
    EXPECT_DOUBLE_EQ(seeks.at(0).at(0).toDouble(), 42.5);
    EXPECT_DOUBLE_EQ(tracker.CurrentPosition(), 42.5);
    EXPECT_DOUBLE_EQ(tracker.Length(), 180);
    tracker.SetVolume(-1500);
    EXPECT_EQ(player.volume, -1500);
}
