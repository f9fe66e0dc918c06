// The player on the real SDL output (the dummy driver in tests): sound goes at real-time pace.
// These waits are real because the pace of playback is what they check; they stay short.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "AudioTestSupport.h"
#include "audio/AudioPlayer.h"

namespace melodrop {
namespace {

using audio::testing::toneFile;

// Generous: a loaded CI machine can be late by a buffer or two.
constexpr double kPaceTolerance = 0.25;

TEST(AudioPlayerRealtime, PlaysAtRealTimePaceAndPauseHolds) {
    AudioPlayer player;
    ASSERT_TRUE(player.Open(toneFile("tone-3s.mp3")));
    QTest::qWait(1000);
    EXPECT_NEAR(player.CurrentPosition(), 1.0, kPaceTolerance);

    ASSERT_TRUE(player.Pause());
    const double held = player.CurrentPosition();
    QTest::qWait(300);
    EXPECT_EQ(player.CurrentPosition(), held);

    ASSERT_TRUE(player.Play());
    QTest::qWait(500);
    EXPECT_NEAR(player.CurrentPosition(), held + 0.5, kPaceTolerance);
}

TEST(AudioPlayerRealtime, RaisesTrackEndedOnceWhenTheTrackHasPlayed) {
    AudioPlayer player;
    QSignalSpy ended(&player, &MediaPlayer::TrackEnded);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(player.Open(toneFile("tone-1s.mp3")));
    ASSERT_TRUE(ended.wait(3000));
    EXPECT_NEAR(clock.elapsed() / 1000.0, 1.0, kPaceTolerance);
    QTest::qWait(300);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_DOUBLE_EQ(player.CurrentPosition(), 1.0);
}

TEST(AudioPlayerRealtime, SeekJumpsAndTheRestPlaysOut) {
    AudioPlayer player;
    QSignalSpy ended(&player, &MediaPlayer::TrackEnded);
    ASSERT_TRUE(player.Open(toneFile("tone-3s.mp3")));
    QTest::qWait(100);
    ASSERT_TRUE(player.SetCurrentPosition(2.6));
    EXPECT_NEAR(player.CurrentPosition(), 2.6, 0.01);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(ended.wait(2000));
    EXPECT_NEAR(clock.elapsed() / 1000.0, 0.4, kPaceTolerance);
}

TEST(AudioPlayerRealtime, NoTrackEndedAfterStopOrReplacingOpen) {
    AudioPlayer player;
    QSignalSpy ended(&player, &MediaPlayer::TrackEnded);
    ASSERT_TRUE(player.Open(toneFile("tone-1s.mp3")));
    ASSERT_TRUE(player.SetCurrentPosition(0.85));
    QTest::qWait(100);
    ASSERT_TRUE(player.Stop());
    QTest::qWait(300);
    EXPECT_EQ(ended.count(), 0);

    ASSERT_TRUE(player.Open(toneFile("tone-1s.mp3")));
    ASSERT_TRUE(player.SetCurrentPosition(0.85));
    QTest::qWait(100);
    ASSERT_TRUE(player.Open(toneFile("tone-3s.mp3")));
    QTest::qWait(300);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_NEAR(player.CurrentPosition(), 0.3, kPaceTolerance);
}

}  // namespace
}  // namespace melodrop
