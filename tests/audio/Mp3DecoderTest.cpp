#include "audio/Mp3Decoder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "AudioTestSupport.h"

namespace melodrop::audio {
namespace {

using testing::tonePath;

int64_t decodeToEnd(Mp3Decoder& decoder) {
    std::vector<float> buffer(1000 * Mp3Decoder::kChannels);
    int64_t total = 0;
    while (int n = decoder.read(buffer.data(), 1000)) {
        total += n;
    }
    return total;
}

struct GoodFile {
    const char* name;
    int rate;
    int64_t frames;
};

class Mp3DecoderGoodFiles : public ::testing::TestWithParam<GoodFile> {};

// Gapless decoding: exactly the samples that were encoded, at the file's own rate.
TEST_P(Mp3DecoderGoodFiles, DecodesExactlyTheEncodedLength) {
    DecoderError error;
    auto decoder = Mp3Decoder::open(tonePath(GetParam().name), &error);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(error, DecoderError::None);
    EXPECT_EQ(decoder->sampleRate(), GetParam().rate);
    EXPECT_EQ(decoder->lengthFrames(), GetParam().frames);
    EXPECT_EQ(decodeToEnd(*decoder), GetParam().frames);
    EXPECT_EQ(decoder->read(std::vector<float>(64).data(), 32), 0) << "stays at the end";
}

INSTANTIATE_TEST_SUITE_P(Tones, Mp3DecoderGoodFiles,
                         ::testing::Values(GoodFile{"tone-1s.mp3", 44100, 44100},
                                           GoodFile{"tone-3s.mp3", 44100, 132300},
                                           GoodFile{"tone-1s-22khz.mp3", 22050, 22050},
                                           GoodFile{"tone-1s-48khz.mp3", 48000, 48000}));

TEST(Mp3Decoder, SeekingBackFromTheEndDecodesTheRestAgain) {
    DecoderError error;
    auto decoder = Mp3Decoder::open(tonePath("tone-3s.mp3"), &error);
    ASSERT_NE(decoder, nullptr);
    decodeToEnd(*decoder);
    decoder->seek(100000);
    EXPECT_EQ(decodeToEnd(*decoder), 132300 - 100000);
    decoder->seek(-5);
    EXPECT_EQ(decodeToEnd(*decoder), 132300);
    decoder->seek(1 << 30);
    EXPECT_EQ(decodeToEnd(*decoder), 0);
}

struct BadFile {
    const char* name;
    DecoderError expected;
};

class Mp3DecoderBadFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(Mp3DecoderBadFiles, RefusesWithTheReason) {
    DecoderError error = DecoderError::None;
    EXPECT_EQ(Mp3Decoder::open(tonePath(GetParam().name), &error), nullptr);
    EXPECT_EQ(error, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Mp3DecoderBadFiles,
                         ::testing::Values(BadFile{"empty.mp3", DecoderError::NoAudio},
                                           BadFile{"text.mp3", DecoderError::NoAudio},
                                           BadFile{"random.mp3", DecoderError::NoAudio},
                                           BadFile{"tag-only.mp3", DecoderError::NoAudio},
                                           BadFile{"truncated.mp3", DecoderError::Truncated},
                                           BadFile{"no-such-file.mp3", DecoderError::NotAFile},
                                           BadFile{"", DecoderError::NotAFile}));

// Decoding from memory (the fuzz target's way in) gives what decoding the file gives: the same
// refusals, the same length, the same samples, the same seeks.
TEST(Mp3Decoder, FromMemoryDecodesAsFromTheFile) {
    for (const char* name :
         {"tone-1s.mp3", "tone-1s-22khz.mp3", "left-only-1s.mp3", "silence-then-tone.mp3",
          "empty.mp3", "text.mp3", "random.mp3", "tag-only.mp3", "truncated.mp3"}) {
        SCOPED_TRACE(name);
        QFile file(QString::fromStdString(tonePath(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        DecoderError fromFile = DecoderError::None;
        DecoderError fromMemory = DecoderError::None;
        auto a = Mp3Decoder::open(tonePath(name), &fromFile);
        auto b = Mp3Decoder::openMemory(std::vector<unsigned char>(bytes.begin(), bytes.end()),
                                        &fromMemory);
        EXPECT_EQ(fromMemory, fromFile);
        ASSERT_EQ(a == nullptr, b == nullptr);
        if (!a) continue;
        EXPECT_EQ(b->sampleRate(), a->sampleRate());
        EXPECT_EQ(b->lengthFrames(), a->lengthFrames());
        for (int64_t at : {int64_t{0}, a->lengthFrames() / 2}) {
            a->seek(at);
            b->seek(at);
            std::vector<float> x(2048 * Mp3Decoder::kChannels), y(x.size());
            ASSERT_EQ(a->read(x.data(), 2048), b->read(y.data(), 2048));
            EXPECT_EQ(x, y);
        }
    }
}

// A folder, or a pipe that nobody writes to, must be refused at once rather than read from.
TEST(Mp3Decoder, RefusesFoldersAndPipesWithoutWaiting) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DecoderError error;
    EXPECT_EQ(Mp3Decoder::open(dir.path().toStdString() + "/", &error), nullptr);
    EXPECT_EQ(error, DecoderError::NotAFile);

    const std::string fifo = dir.filePath("pipe.mp3").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Mp3Decoder::open(fifo, &error), nullptr);
    EXPECT_EQ(error, DecoderError::NotAFile);
}

// The demo tracks shipped beside the program must play with this engine.
TEST(Mp3Decoder, EveryDemoTrackPlaysForTenToTwentySeconds) {
    const QDir demo(QStringLiteral(MELODROP_FIXTURES_DIR "/../../data/demo"));
    const QStringList tracks = demo.entryList({QStringLiteral("*.mp3")}, QDir::Files);
    ASSERT_GE(tracks.size(), 6);
    for (const QString& name : tracks) {
        SCOPED_TRACE(name.toStdString());
        DecoderError error;
        auto decoder = Mp3Decoder::open(demo.filePath(name).toStdString(), &error);
        ASSERT_NE(decoder, nullptr);
        const double seconds = static_cast<double>(decoder->lengthFrames()) / decoder->sampleRate();
        EXPECT_GE(seconds, 10.0);
        EXPECT_LE(seconds, 20.0);
    }
}

}  // namespace
}  // namespace melodrop::audio
