// What the real melodrop program costs while it sits in a chat room and while it plays: the
// program from the build tree runs under Xvfb on its simulated chat room, with 10,000 files in
// its MP3 folder, next to a Qt program of two windows without timers (the peer). The welcome box
// is answered with xdotool, like a user pressing Enter.
//
// Idle: after 10 s without anything happening, both are watched for 60 s: wake-ups (context
// switches of all threads, from /proc) per second and CPU time as a share of one core.
// Goals: at most 5 wake-ups a second and under 0.1% of one core.
// Playing: the user types "play" and a track's name in the room; while it plays the program's
// resident memory is read. Goal: under 40 MB.
// Usage: program_bench [SECONDS]   (the idle watch, 60 unless given)
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "XSupport.h"

namespace {

namespace fs = std::filesystem;
using bench::capture;
using bench::Child;
using bench::Figure;
using bench::findWindows;
using bench::onPath;
using bench::startXvfb;
using bench::Xvfb;

constexpr int kTracks = 10000;
constexpr double kQuietSeconds = 10;
constexpr double kMaxWakeupsPerSecond = 5;
constexpr double kMaxCorePercent = 0.1;
constexpr double kMaxPlayingMb = 40;
const char* const kTone = "zz bench tone.mp3";

// A 30-second tone, encoded with lame.
bool makeTone(const fs::path& mp3, const fs::path& scratch) {
    const fs::path raw = scratch / "tone.raw";
    {
        std::ofstream out(raw, std::ios::binary);
        for (int i = 0; i < 44100 * 30; ++i) {
            const auto sample =
                static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / 44100));
            out.write(reinterpret_cast<const char*>(&sample), 2);
        }
    }
    return bench::run({"lame", "--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "--signed",
                       "--little-endian", "-m", "m", raw.string(), mp3.string()})
        .ok;
}

// Presses Enter on the welcome box until the room window shows (the program is running).
bool answerWelcome(const std::string& display, const fs::path& scratch) {
    for (int i = 0; i < 200; ++i) {
        if (!findWindows(display, " - chat room$", scratch).empty()) return true;
        for (const std::string& id : findWindows(display, "^melodrop$", scratch))
            bench::run({"env", "DISPLAY=" + display, "xdotool", "windowfocus", "--sync", id, "key",
                        "Return"});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return false;
}

bool typeInRoom(const std::string& display, const std::string& line, const fs::path& scratch) {
    const auto rooms = findWindows(display, " - chat room$", scratch);
    if (rooms.empty()) return false;
    // A click into the input line (the row above the "make ... say" row) gives it the focus.
    const std::string geometry = capture(
        {"env", "DISPLAY=" + display, "xdotool", "getwindowgeometry", "--shell", rooms.front()},
        scratch);
    int width = 560, height = 380;
    const std::size_t at = geometry.find("WIDTH=");
    if (at != std::string::npos)
        std::sscanf(geometry.c_str() + at, "WIDTH=%d\nHEIGHT=%d", &width, &height);
    const std::string x = std::to_string(width * 35 / 100), y = std::to_string(height * 80 / 100);
    const std::vector<std::string> xdotool = {"env", "DISPLAY=" + display, "xdotool"};
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), xdotool.begin(), xdotool.end());
        return bench::run(args).ok;
    };
    return run({"mousemove", "--window", rooms.front(), x, y, "click", "1"}) &&
           run({"sleep", "0.3"}) && run({"type", "--delay", "20", line}) && run({"key", "Return"});
}

bool hasAudioThread(pid_t pid) {
    std::error_code error;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error))
        if (bench::readFile(task.path() / "comm").rfind("SDLAudio", 0) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double watchSeconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 60;
    const fs::path here = bench::programFolder();
    const fs::path bin = here.parent_path() / "bin";
    const fs::path peerProgram = here / "helpers" / "idle_peer";
    for (const char* tool : {"Xvfb", "xdotool", "lame"}) {
        if (!onPath(tool)) {
            std::fprintf(stderr, "%s is missing: run scripts/install-deps.sh\n", tool);
            return 2;
        }
    }
    if (!fs::exists(bin / "melodrop") || !fs::exists(peerProgram)) {
        std::fprintf(stderr, "build melodrop and bench/helpers/idle_peer first\n");
        return 2;
    }

    // The program's folder (a copy of the program with what lies beside it), its settings and
    // its MP3 folder, all temporary.
    QTemporaryDir work;
    const bench::ProgramHome home(bin, work.path().toStdString());
    const fs::path& root = home.root;
    const fs::path& program = home.program;
    const fs::path& mp3s = home.mp3s;
    for (int i = 0; i < kTracks; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "Track %05d - some artist - some title.mp3", i);
        std::ofstream(mp3s / name);
    }
    if (!makeTone(mp3s / kTone, root)) {
        std::fprintf(stderr, "could not make the tone with lame\n");
        return 2;
    }
    home.settings("continuous=false\nrandom=false\n");

    Xvfb x = startXvfb();
    if (x.display.empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 2;
    }
    const std::vector<std::string> env = home.environment(x.display);
    Child peer = bench::spawn({peerProgram.string()}, env);
    Child melodrop =
        bench::spawn({(program / "melodrop").string()}, env, (root / "melodrop.log").string());
    auto cleanUp = [&] {
        bench::stop(melodrop);
        bench::stop(peer);
        bench::stop(x.server);
    };
    if (!peer.running() || !melodrop.running() || !answerWelcome(x.display, root)) {
        std::fprintf(stderr, "melodrop did not come up:\n%s\n",
                     bench::readFile(root / "melodrop.log").c_str());
        cleanUp();
        return 2;
    }

    std::printf("melodrop idle in its chat room, %d files in its folder, under Xvfb (%.0f s)\n",
                kTracks, watchSeconds);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::duration<double>(kQuietSeconds));
    // Sampled every second and added up thread by thread, so that a thread that ends meanwhile
    // (an idle pool thread) takes at most a second of its figures with it.
    bench::UsageWatch watchMelodrop(melodrop.pid), watchPeer(peer.pid);
    const double t0 = bench::monotonicSeconds();
    while (bench::monotonicSeconds() - t0 < watchSeconds) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        watchMelodrop.sample();
        watchPeer.sample();
    }
    const double span = bench::monotonicSeconds() - t0;

    bool met = true;
    met &= bench::report({"idle: wake-ups per second", watchMelodrop.switches / span, "/s",
                          kMaxWakeupsPerSecond, "Qt, two windows, no timers",
                          watchPeer.switches / span});
    met &=
        bench::report({"idle: share of one core", watchMelodrop.cpu / span * 100, "%",
                       kMaxCorePercent, "Qt, two windows, no timers", watchPeer.cpu / span * 100});

    // Playing: the user asks for the tone in the room.
    if (!typeInRoom(x.display, "play zz bench", root)) {
        std::fprintf(stderr, "could not type in the room window\n");
        cleanUp();
        return 2;
    }
    bool playing = false;
    for (int i = 0; i < 50 && !playing; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        playing = hasAudioThread(melodrop.pid);
    }
    double resident = 0;
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        resident = std::max(resident, bench::residentMb(melodrop.pid));
    }
    if (!playing) std::printf("  (no audio thread appeared: the track may not be playing)\n");
    const double anonymous =
        bench::statusField(bench::readFile("/proc/" + std::to_string(melodrop.pid) + "/status"),
                           "RssAnon") /
        1024.0;
    met &= bench::report({"playing, 10,000 files: resident memory", resident, "MB", kMaxPlayingMb,
                          "Qt, two windows, no timers", bench::residentMb(peer.pid)});
    bench::report(
        {"playing: of it the program's own (anonymous)", anonymous, "MB", -1,
         "Qt, two windows, no timers",
         bench::statusField(bench::readFile("/proc/" + std::to_string(peer.pid) + "/status"),
                            "RssAnon") /
             1024.0});
    bench::report({"playing: proportional share (shared pages split)",
                   bench::proportionalMb(melodrop.pid), "MB", -1, "Qt, two windows, no timers",
                   bench::proportionalMb(peer.pid)});
    met &= playing;
    cleanUp();
    std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
