// How quickly a chat command takes effect: the time from a command line entering the simulated
// room's transcript to the media player's Open call, and to the command's announcement arriving
// in the transcript. The whole program runs on the real Qt clock with the real chat-client module
// and transcript scanners, on folders of 10,000 and 100,000 MP3 names. Half of the runs are
// "/play" with a name spread over the list (the last one included), half "/next". Between runs a
// random pause, uniform over two polling periods, lets the command land anywhere in the period
// (the fast one: the pauses are far shorter than the quiet time after which the scanners slow).
//
// Goals: median line-to-Open under 12 ms at 10,000 tracks and under 20 ms at 100,000; every run
// under 50 ms at 10,000. Peer: the bare delivery of a change through the event loop (a listener
// on the client's change notification that is called back at the next turn of the loop).
// Usage: command_latency_bench [RUNS]   (200 unless given)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <random>
#include <vector>

#include "BenchSupport.h"

#include "aol/sim/SimClient.h"
#include "base/QtClock.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeMediaPlayer.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWebTransfer.h"
#include "program/Assembly.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

constexpr double kEveryRunMs = 50.0;
constexpr double kGiveUpMs = 2000.0;
const char* const kUser = "BenchUser";

struct Size {
    int tracks;
    double medianGoalMs;
};
const Size kSizes[] = {{10000, 12.0}, {100000, 20.0}};

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
        .arg(i, 6, 10, QLatin1Char('0'));
}

void runEventsFor(double ms) {
    const double until = nowMs() + ms;
    while (nowMs() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

struct Stats {
    std::vector<double> open;
    std::vector<double> line;
};

void report(const char* what, const Stats& s) {
    std::printf(
        "  %-8s runs %4zu   Open: median %6.2f ms, worst %6.2f ms   "
        "announcement: median %6.2f ms, worst %6.2f ms\n",
        what, s.open.size(), bench::median(s.open), bench::worst(s.open), bench::median(s.line),
        bench::worst(s.line));
}

// The floor: a change of the client reaching a listener through the event loop.
double bareDeliveryMs(int runs) {
    aol::sim::SimClient sim;
    sim.signOn(kUser);
    sim.openRoom("Lobby");
    double heardAt = -1;
    bool queued = false;
    sim.addChangeListener([&] {
        if (queued) return;
        queued = true;
        QTimer::singleShot(0, [&] {
            queued = false;
            heardAt = nowMs();
        });
    });
    std::mt19937 random(7);
    std::uniform_real_distribution<double> pause(0.0, 25.0);
    std::vector<double> took;
    for (int run = 0; run < runs; ++run) {
        runEventsFor(pause(random));
        heardAt = -1;
        sim.memberSays("Bob", "hello");
        const double said = nowMs();
        while (heardAt < 0 && nowMs() - said < kGiveUpMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (heardAt >= 0) took.push_back(heardAt - said);
    }
    return bench::median(took);
}

// Runs the commands on a folder of `tracks` names; false when a run got no answer.
// With notifications the scanners look when the client says that the room changed (the program
// on the simulated client); without, they poll (a client that cannot tell).
bool measure(const Size& size, bool notifications, int runs, double peerMs, bool& met) {
    QTemporaryDir programDir;
    QTemporaryDir mp3Dir;
    for (int i = 0; i < size.tracks; ++i)
        QFile(mp3Dir.path() + "/" + trackName(i)).open(QIODevice::WriteOnly);

    aol::sim::SimClient sim;
    sim.signOn(kUser);
    sim.openRoom("Lobby");
    sim.memberJoins("Bob");
    sim.setPostNotifier([&sim] { QTimer::singleShot(0, [&sim] { sim.deliverPosted(); }); });

    QtClock clock;
    FakeSettingsStore settings;
    settings.values["trig"] = "/";
    settings.values["mp3dir"] = mp3Dir.path();
    settings.values["random"] = "false";
    settings.values["continuous"] = "false";
    TimedPlayer player;
    FakeDesktop desktop;
    desktop.visible = true;
    FakeWebTransfer web;
    ScannerMode scanners;
    if (notifications)
        scanners.toldOfChanges = [&sim](std::function<void()> changed) {
            sim.addChangeListener(std::move(changed));
        };
    const char* const mode = notifications ? "scanners told of the client's changes"
                                           : "scanners polling (fast interval)";
    Assembly assembly(Boundaries{
        .settings = settings,
        .player = player,
        .desktop = desktop,
        .clock = clock,
        .windows = sim,
        .web = web,
        .files = FileLocations(programDir.path()),
        .serverBase = QStringLiteral("http://bench.test"),
        .scanners = scanners,
    });
    Melodrop& program = assembly.program();
    program.load();
    if (program.tracks().count() != size.tracks) {
        std::fprintf(stderr, "the list holds %d tracks, not %d\n", program.tracks().count(),
                     size.tracks);
        return false;
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
    std::uniform_real_distribution<double> pause(0.0, 2.0 * TranscriptWatch::kFastMilliseconds);
    Stats play, next, all;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        runEventsFor(pause(random));
        const bool isPlay = run % 2 == 0;
        const int target = run == 0 ? size.tracks - 1 : static_cast<int>(random() % size.tracks);
        const QString line =
            isPlay ? "/play " + trackName(target).left(12) : QStringLiteral("/next");

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

    std::printf("%d tracks in the list, %s\n", size.tracks, mode);
    report("/play", play);
    report("/next", next);
    report("all", all);
    if (failures)
        std::printf("  %d runs got no Open or no announcement within %.0f ms\n", failures,
                    kGiveUpMs);
    const std::string n =
        std::to_string(size.tracks) + (notifications ? " tracks, told: " : " tracks, polling: ");
    met &= bench::report({n + "median line to Open, /play", bench::median(play.open), "ms",
                          size.medianGoalMs, "bare delivery", peerMs});
    met &= bench::report({n + "median line to Open, all", bench::median(all.open), "ms",
                          size.medianGoalMs, "bare delivery", peerMs});
    met &= bench::report({n + "worst line to announcement", bench::worst(all.line), "ms",
                          size.tracks <= 10000 ? kEveryRunMs : 2 * kEveryRunMs, "", -1});
    return failures == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 200;
    wall.start();
    const double peer = bareDeliveryMs(runs);
    std::printf("command latency (%d runs per size)\n", runs);
    bool met = true;
    for (const Size& size : kSizes)
        for (bool notifications : {true, false})
            met &= measure(size, notifications, runs, peer, met);
    std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
