// How quickly a chat command takes effect: the time from a command line entering the simulated
// room's transcript to the media player's Open call, and to the command's announcement arriving
// in the transcript. The whole program runs on the real Qt clock with the real chat-client module
// and transcript scanners, on a folder of 10,000 MP3 names. Half of the runs are "/play" with a
// name spread over the list (the last one included), half "/next". Between runs a random pause
// lets the command land anywhere in the scanner's polling period.
//
// Target: every run under 50 ms, both for the Open call and for the announcement.
// Usage: command_latency_bench [RUNS]   (200 unless given)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "aol/Quartzline.h"
#include "aol/sim/SimClient.h"
#include "chat/TranscriptChatScanner.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeMediaPlayer.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWebTransfer.h"
#include "player/Melodrop.h"
#include "player/QtClock.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

constexpr int kTracks = 10000;
constexpr double kTargetMs = 50.0;
constexpr double kGiveUpMs = 2000.0;
const char* const kUser = "BenchUser";

QElapsedTimer wall;

double nowMs() {
    return static_cast<double>(wall.nsecsElapsed()) / 1e6;
}

// Notes when it was asked to open a file.
class TimedPlayer : public FakeMediaPlayer {
public:
    bool Open(const QString& path) override {
        openedAtMs = nowMs();
        return FakeMediaPlayer::Open(path);
    }
    double openedAtMs = -1;
};

QString trackName(int i) {
    return QStringLiteral("Track %1 - some artist - some title.mp3")
        .arg(i, 5, 10, QLatin1Char('0'));
}

void runEventsFor(double ms) {
    const double until = nowMs() + ms;
    while (nowMs() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

struct Stats {
    std::vector<double> open;
    std::vector<double> line;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double worst(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

void report(const char* what, const Stats& s) {
    std::printf(
        "%-8s runs %4zu   Open: median %6.2f ms, worst %6.2f ms   "
        "announcement: median %6.2f ms, worst %6.2f ms\n",
        what, s.open.size(), median(s.open), worst(s.open), median(s.line), worst(s.line));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 200;
    wall.start();

    QTemporaryDir programDir;
    QTemporaryDir mp3Dir;
    for (int i = 0; i < kTracks; ++i)
        QFile(mp3Dir.path() + "/" + trackName(i)).open(QIODevice::WriteOnly);

    aol::sim::SimClient sim;
    sim.signOn(kUser);
    sim.openRoom("Lobby");
    sim.memberJoins("Bob");
    sim.setPostNotifier([&sim] { QTimer::singleShot(0, [&sim] { sim.deliverPosted(); }); });

    QtClock clock;
    aol::Quartzline aol(sim, clock);
    FakeSettingsStore settings;
    settings.values["trig"] = "/";
    settings.values["mp3dir"] = mp3Dir.path();
    settings.values["random"] = "false";
    settings.values["continuous"] = "false";
    TimedPlayer player;
    FakeDesktop desktop;
    desktop.visible = true;
    FakeWebTransfer web;
    TranscriptChatScanner chtMelodrop(sim, clock);
    TranscriptChatScanner chat1(sim, clock);
    Platform platform{
        settings,           player, chtMelodrop, chat1, desktop, clock, aol, web, programDir.path(),
        "http://bench.test"};
    Melodrop program(platform);
    program.load();
    if (program.tracks().count() != kTracks) {
        std::fprintf(stderr, "the list holds %d tracks, not %d\n", program.tracks().count(),
                     kTracks);
        return 1;
    }

    // The announcement has arrived when the user's last transcript line is a melodrop line.
    const std::string announcementStart = std::string(kUser) + ":\t<Font Face=";
    bool waiting = false;
    double announcedAtMs = -1;
    sim.addChangeListener([&] {
        if (!waiting || announcedAtMs >= 0) return;
        const auto lines = sim.transcriptLines();
        if (!lines.empty() && lines.back().rfind(announcementStart, 0) == 0)
            announcedAtMs = nowMs();
    });

    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> pause(0.0, 25.0);
    Stats play, next, all;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        runEventsFor(pause(random));
        const bool isPlay = run % 2 == 0;
        const int target = run == 0 ? kTracks - 1 : static_cast<int>(random() % kTracks);
        const QString line =
            isPlay ? "/play " + trackName(target).left(11) : QStringLiteral("/next");

        player.openedAtMs = -1;
        announcedAtMs = -1;
        sim.userTypes(line.toStdString());
        const double enteredMs = nowMs();
        waiting = true;
        while ((player.openedAtMs < 0 || announcedAtMs < 0) && nowMs() - enteredMs < kGiveUpMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        waiting = false;
        if (player.openedAtMs < 0 || announcedAtMs < 0) {
            ++failures;
            continue;
        }
        Stats& s = isPlay ? play : next;
        for (Stats* t : {&s, &all}) {
            t->open.push_back(player.openedAtMs - enteredMs);
            t->line.push_back(announcedAtMs - enteredMs);
        }
    }

    std::printf("command latency, %d tracks in the list, scanner polling every %d ms\n", kTracks,
                TranscriptChatScanner::kPollMilliseconds);
    report("/play", play);
    report("/next", next);
    report("all", all);
    const bool met = failures == 0 && worst(all.open) < kTargetMs && worst(all.line) < kTargetMs;
    if (failures)
        std::printf("%d runs got no Open or no announcement within %.0f ms\n", failures, kGiveUpMs);
    std::printf("target: every run under %.0f ms: %s\n", kTargetMs, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
