// What playing a track costs: the CPU time the audio engine spends playing a 60-second MP3 to
// its end (on SDL's dummy driver, at real-time pace), against the CPU time mpg123 needs only to
// decode the same file. Goals: at most 3 times pure decoding, well under 1% of one core.
//
// Usage: audio_engine_bench [SECONDS]   (the track's length, 60 unless given)
// The track is made once with lame beside this program and reused.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "audio/AudioPlayer.h"
#include "audio/Mp3Decoder.h"
#include "audio/TrackStream.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using melodrop::audio::kOutputChannels;

constexpr double kMaxDecodeMultiple = 3.0;
constexpr double kMaxCoreShare = 0.01;
constexpr int kRate = 44100;

double CpuSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

double WallSeconds() {
    return CpuSeconds(CLOCK_MONOTONIC);
}

// Runs a program to its end; returns the CPU seconds (user + system) it used, or -1.
double RunChild(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    auto seconds = [](const timeval& tv) { return tv.tv_sec + tv.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A stereo 16-bit WAV of a few drifting tones with a little noise: something for the encoder
// to work at, like music, rather than one pure tone.
bool WriteWav(const fs::path& path, int seconds) {
    const uint32_t frames = static_cast<uint32_t>(seconds) * kRate;
    const uint32_t dataBytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    uint32_t noise = 12345;
    std::vector<int16_t> frame(2);
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1664525u + 1013904223u;
        const double n = (static_cast<double>(noise >> 8) / (1u << 24) - 0.5) * 0.02;
        const double a = 0.3 * std::sin(2 * M_PI * (220 + 20 * std::sin(t)) * t);
        const double b = 0.2 * std::sin(2 * M_PI * 330 * t) * (0.5 + 0.5 * std::sin(t * 3));
        const double c = 0.1 * std::sin(2 * M_PI * 1320 * t);
        frame[0] = static_cast<int16_t>((a + b + n) * 32767);
        frame[1] = static_cast<int16_t>((a + c + n) * 32767);
        out.write(reinterpret_cast<const char*>(frame.data()), 4);
    }
    return static_cast<bool>(out);
}

fs::path MakeTrack(int seconds) {
    const fs::path dir = fs::canonical("/proc/self/exe").parent_path() / "audio_engine_bench-data";
    const fs::path mp3 = dir / ("tone-" + std::to_string(seconds) + "s.mp3");
    if (fs::exists(mp3)) {
        return mp3;
    }
    fs::create_directories(dir);
    const fs::path wav = dir / "source.wav";
    const fs::path partial = dir / "partial.mp3";
    if (!WriteWav(wav, seconds) ||
        RunChild({"lame", "--quiet", "-b", "128", wav.string(), partial.string()}) < 0) {
        return {};
    }
    fs::remove(wav);
    fs::rename(partial, mp3);
    return mp3;
}

// The least of a few runs: the figure least disturbed by whatever else the machine does.
double Mpg123DecodeSeconds(const fs::path& mp3) {
    double best = -1;
    for (int i = 0; i < 3; ++i) {
        const double s = RunChild({"mpg123", "-q", "-t", mp3.string()});
        if (s >= 0 && (best < 0 || s < best)) {
            best = s;
        }
    }
    return best;
}

// The engine's own decoding and resampling, with no device: the floor under playing.
double EngineDecodeSeconds(const fs::path& mp3) {
    melodrop::audio::DecoderError error;
    auto stream = melodrop::audio::TrackStream::create(
        melodrop::audio::Mp3Decoder::open(mp3.string(), &error));
    if (!stream) {
        return -1;
    }
    std::vector<float> buffer(2048 * kOutputChannels);
    const double start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    while (stream->render(buffer.data(), 2048) > 0) {
    }
    return CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
}

struct PlayFigures {
    double cpu = -1;
    double wall = -1;
};

PlayFigures PlayToEnd(const fs::path& mp3, double trackSeconds) {
    melodrop::AudioPlayer player;
    PlayFigures figures;
    bool ended = false;
    QObject::connect(&player, &melodrop::MediaPlayer::TrackEnded, [&] {
        ended = true;
        QCoreApplication::quit();
    });
    QTimer::singleShot(static_cast<int>((trackSeconds * 1.5 + 10) * 1000),
                       [] { QCoreApplication::quit(); });
    const double cpu0 = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall0 = WallSeconds();
    if (!player.Open(QString::fromStdString(mp3.string()))) {
        return figures;
    }
    QCoreApplication::exec();
    if (ended) {
        figures.cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        figures.wall = WallSeconds() - wall0;
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const fs::path mp3 = MakeTrack(seconds);
    if (mp3.empty()) {
        std::fprintf(stderr, "could not make the %d-second track (are lame and python3 here?)\n",
                     seconds);
        return 2;
    }
    const double mpg123 = Mpg123DecodeSeconds(mp3);
    const double engineDecode = EngineDecodeSeconds(mp3);
    std::printf("track: %s (%d s, 128 kbit/s stereo)\n", mp3.c_str(), seconds);
    std::printf("mpg123 -t, decoding only:      %.3f s CPU\n", mpg123);
    std::printf("engine decode + resample only: %.3f s CPU\n", engineDecode);
    std::fflush(stdout);

    const PlayFigures play = PlayToEnd(mp3, seconds);
    if (play.cpu < 0 || mpg123 <= 0) {
        std::fprintf(stderr, "the track did not play to its end, or mpg123 did not run\n");
        return 2;
    }
    const double multiple = play.cpu / mpg123;
    const double share = play.cpu / play.wall;
    std::printf("engine playing to the end:     %.3f s CPU in %.2f s\n", play.cpu, play.wall);
    bool met = bench::report({"playing, CPU as a multiple of plain decoding", multiple, "x",
                              kMaxDecodeMultiple, "mpg123 -t, decoding only", 1.0});
    met &= bench::report({"playing, share of one core", share * 100, "%", kMaxCoreShare * 100,
                          "mpg123 -t, decoding only", mpg123 / play.wall * 100});
    std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
