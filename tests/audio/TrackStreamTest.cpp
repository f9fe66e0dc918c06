#include "audio/TrackStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "AudioTestSupport.h"

namespace melodrop::audio {
namespace {

using testing::tonePath;

std::unique_ptr<TrackStream> openStream(const char* name) {
    DecoderError error;
    auto decoder = Mp3Decoder::open(tonePath(name), &error);
    return decoder ? TrackStream::create(std::move(decoder)) : nullptr;
}

std::vector<float> renderAll(TrackStream& stream) {
    std::vector<float> all;
    std::vector<float> buffer(2048 * kOutputChannels);
    while (int n = stream.render(buffer.data(), 2048)) {
        all.insert(all.end(), buffer.begin(), buffer.begin() + n * kOutputChannels);
    }
    return all;
}

// The first frame, from `from` on, whose left sample is clearly not silence.
int64_t firstLoudFrame(const std::vector<float>& samples, int64_t from = 0) {
    for (size_t i = from * kOutputChannels; i < samples.size(); i += kOutputChannels) {
        if (std::fabs(samples[i]) > 0.1f) {
            return static_cast<int64_t>(i / kOutputChannels);
        }
    }
    return -1;
}

// Every rate comes out at the output rate, one second of track giving one second of sound.
TEST(TrackStream, ResamplesEveryRateToTheOutputRate) {
    for (const char* name : {"tone-1s.mp3", "tone-1s-22khz.mp3", "tone-1s-48khz.mp3"}) {
        SCOPED_TRACE(name);
        auto stream = openStream(name);
        ASSERT_NE(stream, nullptr);
        EXPECT_DOUBLE_EQ(stream->lengthSeconds(), 1.0);
        const auto frames = static_cast<int64_t>(renderAll(*stream).size() / kOutputChannels);
        EXPECT_NEAR(frames, kOutputRate, 64);
        EXPECT_DOUBLE_EQ(stream->positionSeconds(), 1.0);
    }
}

double ChannelRms(const std::vector<float>& samples, int channel) {
    double sum = 0;
    for (size_t i = channel; i < samples.size(); i += kOutputChannels) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / (samples.size() / kOutputChannels));
}

// Stereo stays stereo, left on the left; mono comes out the same on both sides.
TEST(TrackStream, KeepsTheChannelsInOrder) {
    auto stereo = openStream("left-only-1s.mp3");
    ASSERT_NE(stereo, nullptr);
    const auto both = renderAll(*stereo);
    EXPECT_GT(ChannelRms(both, 0), 0.3);
    EXPECT_LT(ChannelRms(both, 1), 0.01);

    auto mono = openStream("tone-1s.mp3");
    ASSERT_NE(mono, nullptr);
    const auto same = renderAll(*mono);
    for (size_t i = 0; i < same.size(); i += kOutputChannels) {
        ASSERT_EQ(same[i], same[i + 1]) << "frame " << i / kOutputChannels;
    }
}

// One second of silence, then a tone: after a seek the tone starts exactly where it should.
TEST(TrackStream, SeekLandsOnTheAskedSample) {
    auto stream = openStream("silence-then-tone.mp3");
    ASSERT_NE(stream, nullptr);
    const auto whole = renderAll(*stream);
    const int64_t onset = firstLoudFrame(whole);
    ASSERT_NEAR(onset, kOutputRate, kOutputRate / 100) << "the tone begins at 1 s";

    for (double at : {0.25, 0.75, 0.9}) {
        SCOPED_TRACE(at);
        stream->seek(at);
        EXPECT_DOUBLE_EQ(stream->positionSeconds(), at);
        const auto rest = renderAll(*stream);
        EXPECT_EQ(firstLoudFrame(rest), onset - std::llround(at * kOutputRate));
    }
}

TEST(TrackStream, SeekClampsToTheTrack) {
    auto stream = openStream("tone-1s.mp3");
    ASSERT_NE(stream, nullptr);
    stream->seek(-3);
    EXPECT_EQ(stream->positionSeconds(), 0.0);
    EXPECT_NEAR(renderAll(*stream).size() / kOutputChannels, kOutputRate, 1);

    for (double past : {1.0, 7.5, HUGE_VAL}) {
        stream->seek(past);
        EXPECT_EQ(stream->positionSeconds(), 1.0);
        EXPECT_TRUE(renderAll(*stream).empty());
    }
}

}  // namespace
}  // namespace melodrop::audio
