// The player called from another thread while the output's thread plays: seeks, volume changes
// and position reads come from one thread while the player's own thread delivers the ends the
// output's thread posts. Under the thread sanitizer (make test-tsan) any access the threads
// share without order shows up here.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "AudioTestSupport.h"
#include "audio/AudioPlayer.h"

namespace melodrop {
namespace {

using audio::testing::ThreadedOutput;
using audio::testing::toneFile;

constexpr double kLength = 3.0;  // tone-3s.mp3

// What the calling thread did and saw.
struct Calls {
    int generations = 0;  // calls that may each start a generation, which may each end once
    int refused = 0;
    int positionsOutside = 0;
    double lastOutside = 0;
    int wrongLengths = 0;
};

// Seeks here and there (now and then past the end), changes the volume, plays again if the
// track has ended and reads the position and the length; `between` runs after each round.
template <typename Between>
Calls callFromHere(AudioPlayer& player, int rounds, Between between) {
    Calls calls;
    for (int i = 0; i < rounds; ++i) {
        const double to = i % 25 == 24 ? kLength + 0.5 : std::fmod(i * 0.37, kLength - 0.1);
        calls.refused += player.SetCurrentPosition(to) ? 0 : 1;
        calls.refused += player.SetVolume(-((i * 137) % 4000)) ? 0 : 1;
        calls.refused += player.Play() ? 0 : 1;
        calls.generations += 2;  // the seek, and the replay if the track had ended
        const double at = player.CurrentPosition();
        if (!(at >= 0.0 && at <= kLength)) {
            ++calls.positionsOutside;
            calls.lastOutside = at;
        }
        calls.wrongLengths += player.Length() == kLength ? 0 : 1;
        between();
    }
    return calls;
}

// Runs `call` on another thread while this one, the player's, delivers what is posted to it.
template <typename Call>
void whileDelivering(Call call) {
    std::atomic<bool> done{false};
    std::thread caller([&] {
        call();
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
    caller.join();
    QCoreApplication::processEvents();
}

void expectSane(const Calls& calls, qsizetype ends) {
    EXPECT_EQ(calls.refused, 0);
    EXPECT_EQ(calls.positionsOutside, 0) << "last outside the track: " << calls.lastOutside;
    EXPECT_EQ(calls.wrongLengths, 0);
    EXPECT_LE(ends, calls.generations + 1) << "at most one end for each generation";
}

TEST(AudioPlayerThreads, SeeksAndVolumeFromAnotherThreadWhileAnOutputThreadPlays) {
    auto output = std::make_unique<ThreadedOutput>();
    ThreadedOutput* device = output.get();
    AudioPlayer player(std::move(output));
    QSignalSpy ended(&player, &MediaPlayer::TrackEnded);
    ASSERT_TRUE(player.Open(toneFile("tone-3s.mp3")));

    Calls calls;
    whileDelivering([&] {
        calls = callFromHere(player, 400, [device] {
            // The output takes a buffer between rounds (unless the track has just ended).
            const int seen = device->buffers();
            for (int spin = 0; spin < 100000 && device->buffers() == seen; ++spin) {
                std::this_thread::yield();
            }
        });
    });
    expectSane(calls, ended.count());
    EXPECT_GT(device->buffers(), 100);

    // The player comes out of it sound: the rest of the track plays and ends exactly once.
    const qsizetype before = ended.count();
    ASSERT_TRUE(player.SetCurrentPosition(kLength - 0.2));
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(ended.wait(10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(ended.count(), before + 1);
    EXPECT_DOUBLE_EQ(player.CurrentPosition(), kLength);
}

// The same on the sound device (SDL's dummy driver in tests), whose thread takes a buffer about
// every 93 ms: the calls are spread over a second of its real-time pace.
TEST(AudioPlayerThreads, SeeksAndVolumeFromAnotherThreadWhileTheDevicePlays) {
    AudioPlayer player;
    QSignalSpy ended(&player, &MediaPlayer::TrackEnded);
    ASSERT_TRUE(player.Open(toneFile("tone-3s.mp3")));
    Calls calls;
    whileDelivering([&] {
        calls = callFromHere(player, 200,
                             [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
    });
    expectSane(calls, ended.count());
    ASSERT_TRUE(player.Pause());
    const double held = player.CurrentPosition();
    EXPECT_GE(held, 0.0);
    EXPECT_LE(held, kLength);
}

}  // namespace
}  // namespace melodrop
