// The player's state and signals, driven buffer by buffer through an output the test holds.
#include "audio/AudioPlayer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <climits>
#include <cmath>
#include <cstdio>

#include "AudioTestSupport.h"

namespace melodrop {
namespace {

using audio::kOutputRate;
using audio::testing::ManualOutput;
using audio::testing::rms;
using audio::testing::toneFile;

constexpr int kBuffer = 2048;

class AudioPlayerTest : public ::testing::Test {
protected:
    AudioPlayerTest() {
        auto output = std::make_unique<ManualOutput>();
        output_ = output.get();
        player_ = std::make_unique<AudioPlayer>(std::move(output));
        spy_ = std::make_unique<QSignalSpy>(player_.get(), &MediaPlayer::TrackEnded);
    }

    // Lets the output take buffers for `seconds` of sound.
    void playFor(double seconds) {
        for (int taken = 0; taken < seconds * kOutputRate; taken += kBuffer) {
            output_->take(kBuffer);
        }
    }
    // What the output thread posted reaches the player.
    static void deliver() { QCoreApplication::sendPostedEvents(); }
    int ended() const { return static_cast<int>(spy_->count()); }

    ManualOutput* output_;
    std::unique_ptr<AudioPlayer> player_;
    std::unique_ptr<QSignalSpy> spy_;
};

TEST_F(AudioPlayerTest, PlayingToTheEndRaisesTrackEndedOnce) {
    ASSERT_TRUE(player_->Open(toneFile("tone-1s.mp3")));
    EXPECT_TRUE(output_->running());
    playFor(1.5);
    EXPECT_EQ(ended(), 0) << "raised through the event loop, not on the output's thread";
    deliver();
    EXPECT_EQ(ended(), 1);
    EXPECT_FALSE(output_->running());
    EXPECT_DOUBLE_EQ(player_->CurrentPosition(), 1.0);

    playFor(1.0);
    deliver();
    EXPECT_EQ(ended(), 1);

    // Play after the end plays the track again, and its end is raised again.
    EXPECT_TRUE(player_->Play());
    EXPECT_DOUBLE_EQ(player_->CurrentPosition(), 0.0);
    playFor(1.5);
    deliver();
    EXPECT_EQ(ended(), 2);
}

// The end was already on its way when the track was replaced or stopped: it must not arrive.
TEST_F(AudioPlayerTest, AnEndOnItsWayIsDroppedWhenTheTrackChanges) {
    ASSERT_TRUE(player_->Open(toneFile("tone-1s.mp3")));
    playFor(1.5);
    ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
    deliver();
    EXPECT_EQ(ended(), 0);
    EXPECT_TRUE(output_->running());

    ASSERT_TRUE(player_->Open(toneFile("tone-1s.mp3")));
    playFor(1.5);
    ASSERT_TRUE(player_->Stop());
    deliver();
    EXPECT_EQ(ended(), 0);

    ASSERT_TRUE(player_->Play());
    playFor(1.5);
    ASSERT_TRUE(player_->SetCurrentPosition(0.5));
    deliver();
    EXPECT_EQ(ended(), 0) << "the seek started the track over from 0.5 s";
    playFor(1.0);
    deliver();
    EXPECT_EQ(ended(), 1);

    ASSERT_TRUE(player_->Open(toneFile("tone-1s.mp3")));
    playFor(1.5);
    EXPECT_FALSE(player_->Open(toneFile("text.mp3")));
    deliver();
    EXPECT_EQ(ended(), 1) << "a failed Open replaces the track too";
}

TEST_F(AudioPlayerTest, SeekingPastTheEndEndsAPlayingOrPausedTrack) {
    ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
    ASSERT_TRUE(player_->SetCurrentPosition(10));
    EXPECT_FALSE(output_->running());
    EXPECT_EQ(ended(), 0);
    deliver();
    EXPECT_EQ(ended(), 1);
    EXPECT_DOUBLE_EQ(player_->CurrentPosition(), 3.0);

    ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
    ASSERT_TRUE(player_->Pause());
    ASSERT_TRUE(player_->SetCurrentPosition(3.0));
    deliver();
    EXPECT_EQ(ended(), 2);

    // A stopped track is not playing, so nothing ends; it waits at its end.
    ASSERT_TRUE(player_->Stop());
    ASSERT_TRUE(player_->SetCurrentPosition(1e12));
    deliver();
    EXPECT_EQ(ended(), 2);
    EXPECT_DOUBLE_EQ(player_->CurrentPosition(), 3.0);
}

TEST_F(AudioPlayerTest, SeekKeepsTheStateAndClampsTheStart) {
    ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
    ASSERT_TRUE(player_->SetCurrentPosition(-3));
    EXPECT_NEAR(player_->CurrentPosition(), 0.0, 0.01);
    EXPECT_TRUE(output_->running());
    EXPECT_FALSE(player_->SetCurrentPosition(NAN));

    ASSERT_TRUE(player_->Pause());
    ASSERT_TRUE(player_->SetCurrentPosition(2.0));
    EXPECT_DOUBLE_EQ(player_->CurrentPosition(), 2.0);
    EXPECT_FALSE(output_->running());

    // After the end, a seek back leaves the track stopped there, and Play goes on from it.
    ASSERT_TRUE(player_->SetCurrentPosition(5.0));
    deliver();
    ASSERT_TRUE(player_->SetCurrentPosition(2.5));
    EXPECT_FALSE(output_->running());
    ASSERT_TRUE(player_->Play());
    playFor(0.4);
    deliver();
    EXPECT_EQ(ended(), 1);
    playFor(0.3);
    deliver();
    EXPECT_EQ(ended(), 2);
}

TEST_F(AudioPlayerTest, PauseHoldsAndPlayResumesFromThere) {
    ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
    playFor(1.0);
    ASSERT_TRUE(player_->Pause());
    EXPECT_FALSE(output_->running());
    const double held = player_->CurrentPosition();
    EXPECT_GT(held, 0.9);
    EXPECT_LT(held, 1.1);
    ASSERT_TRUE(player_->Pause()) << "pausing twice is harmless";
    EXPECT_EQ(player_->CurrentPosition(), held);

    ASSERT_TRUE(player_->Play());
    EXPECT_TRUE(output_->running());
    EXPECT_NEAR(player_->CurrentPosition(), held, 0.001);
    output_->take(kBuffer);
    EXPECT_NEAR(player_->CurrentPosition(), held, 0.005)
        << "the first buffer after the pause starts where the sound stopped";
    playFor(2.5);
    deliver();
    EXPECT_EQ(ended(), 1) << "the rest of the track, not more, was left to play";
}

TEST_F(AudioPlayerTest, StopRewindsAndPlayStartsOver) {
    ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
    playFor(1.0);
    ASSERT_TRUE(player_->Stop());
    EXPECT_FALSE(output_->running());
    EXPECT_EQ(player_->CurrentPosition(), 0.0);
    ASSERT_TRUE(player_->Play());
    EXPECT_GT(rms(output_->take(kBuffer)), 0.1);
    EXPECT_LT(player_->CurrentPosition(), 0.1);
}

// -25 dB is a factor of 10^(-2500/2000) on the samples; nothing goes louder than full.
TEST_F(AudioPlayerTest, VolumeScalesTheSamples) {
    ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
    playFor(0.2);
    const double full = rms(output_->take(kBuffer));
    ASSERT_GT(full, 0.3);
    ASSERT_TRUE(player_->SetVolume(-2500));
    EXPECT_NEAR(rms(output_->take(kBuffer)) / full, std::pow(10.0, -1.25), 0.003);
    ASSERT_TRUE(player_->SetVolume(4000));
    EXPECT_NEAR(rms(output_->take(kBuffer)) / full, 1.0, 0.01);
    ASSERT_TRUE(player_->SetVolume(INT_MIN));
    const double quietest = rms(output_->take(kBuffer));
    EXPECT_GT(quietest, 0.0);
    EXPECT_LT(quietest / full, 1e-4);
}

TEST_F(AudioPlayerTest, BadFilesFailAndTheNextGoodOnePlays) {
    for (const char* bad : {"empty.mp3", "truncated.mp3", "text.mp3", "random.mp3", "tag-only.mp3",
                            "no-such-file.mp3", ""}) {
        SCOPED_TRACE(bad);
        ASSERT_TRUE(player_->Open(toneFile("tone-3s.mp3")));
        playFor(0.5);
        EXPECT_FALSE(player_->Open(toneFile(bad)));
        EXPECT_FALSE(output_->running()) << "the track it replaced stopped";
        EXPECT_EQ(player_->CurrentPosition(), 0.0);
        EXPECT_FALSE(player_->Play());
    }
    ASSERT_TRUE(player_->Open(toneFile("tone-1s-22khz.mp3")));
    EXPECT_TRUE(output_->running());
    EXPECT_GT(rms(output_->take(kBuffer)), 0.1);
}

// A file whose name is not valid UTF-8 (listed under its Windows-1252 reading) plays from the
// path the list gives for it.
TEST_F(AudioPlayerTest, PlaysAFileWhoseNameIsNotUtf8) {
    QTemporaryDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "/caf\xe9 \x96 noir.mp3";
    QFile source(toneFile("tone-1s-22khz.mp3"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    FILE* copy = std::fopen(native.constData(), "wb");
    ASSERT_NE(copy, nullptr);
    const QByteArray bytes = source.readAll();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), copy);
    std::fclose(copy);
    const QString shown = dir.path() + QString::fromUtf8("/caf\u00e9 \u2013 noir.mp3");
    const bool opened = player_->Open(shown);
    std::remove(native.constData());  // Qt does not see it to remove it with the folder
    ASSERT_TRUE(opened);
    EXPECT_GT(rms(output_->take(kBuffer)), 0.1);
}

TEST_F(AudioPlayerTest, NothingOpenedIsHarmless) {
    EXPECT_FALSE(player_->Play());
    EXPECT_FALSE(player_->Pause());
    EXPECT_FALSE(player_->Stop());
    EXPECT_FALSE(player_->SetCurrentPosition(5));
    EXPECT_TRUE(player_->SetVolume(-2500));
    EXPECT_EQ(player_->CurrentPosition(), 0.0);
    EXPECT_FALSE(output_->running());
    deliver();
    EXPECT_EQ(ended(), 0);
}

TEST(AudioPlayerWithoutDevice, OpenFailsWhenNoOutputOpens) {
    auto output = std::make_unique<ManualOutput>();
    output->setOpenable(false);
    AudioPlayer player(std::move(output));
    EXPECT_FALSE(player.Open(toneFile("tone-1s.mp3")));
    EXPECT_FALSE(player.Play());
}

}  // namespace
}  // namespace melodrop
