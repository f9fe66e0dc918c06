// The real melodrop program with a real-windows chat client: the fake Win32 client runs under
// Wine with melodrop-bridge.exe beside it, and melodrop (`--client bridge`, under Xvfb) reaches
// it through the bridge, as a user's melodrop would. The user and 20 members act through the
// fake client's control program; the welcome box is answered with xdotool. Both chat scanners
// are on (`ax`).
//
// While lines arrive: the user's line in the client's transcript to melodrop's announcement in
// it, lines typed 0.3 s apart (goal: median at most 60 ms).
// Quiet: then, kQuietRounds times, nothing happens for a minute: from 30 s after the last line
// to the minute's end, the CPU of melodrop, the bridge and Wine's server together as a share of
// one core (goal: median at most 0.3%); at the minute's end the user types a line, and its way
// to the announcement is timed (goal: median at most 250 ms). The chat client's own CPU,
// melodrop's wake-ups and, measured first with the bridge stopped, what Wine's server costs by
// itself (it wakes every 16 ms to keep the time of its shared memory page) are shown for
// information. The client's transcript is looked at through
// its control program; what one look costs is shown.
//
// Needs the cross-built Windows programs (configure with the Windows tests on; the environment
// variable MELODROP_WINDOWS_BIN names another build's), wine64, Xvfb and xdotool; run without
// WINEPREFIX it makes a throw-away prefix with scripts/with-wine-prefix.sh.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <fstream>

#include "BenchSupport.h"
#include "XSupport.h"
#include "scenario/Win32ScenarioClient.h"

namespace {

namespace fs = std::filesystem;
using melodrop::scenario::Win32ScenarioClient;

constexpr int kMembers = 20;
constexpr int kRounds = 20;            // lines while they arrive ...
constexpr double kApartSeconds = 0.3;  // ... this far apart
constexpr double kSettleSeconds = 30;  // after the last line, before the CPU is watched
constexpr double kQuietSeconds = 60;   // from the last line to the next
constexpr int kQuietRounds = 5;
constexpr double kFloorSeconds = 30;  // Wine's server watched without the bridge
constexpr double kMaxQuietCorePercent = 0.3;
constexpr double kMaxLivelyMs = 60;
constexpr double kMaxAfterQuietMs = 250;

// The first process whose name starts with `name` (0: none).
pid_t processNamed(const std::string& name) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string id = entry.path().filename();
        if (id.find_first_not_of("0123456789") != std::string::npos) continue;
        if (bench::readFile(entry.path() / "comm").rfind(name, 0) == 0)
            return static_cast<pid_t>(std::stol(id));
    }
    return 0;
}

// The lines of the client's open room that contain `text`.
int linesWith(Win32ScenarioClient& client, const std::string& text) {
    int n = 0;
    for (const auto& room : client.rooms())
        for (const std::string& line : room.lines) n += line.find(text) != std::string::npos;
    return n;
}

bool waitFor(const std::function<bool()>& done, double seconds) {
    const double started = bench::monotonicSeconds();
    while (bench::monotonicSeconds() - started < seconds) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// Milliseconds from the user's line in the transcript to the announcement; random is switched
// on and off, each announced. -1 when no announcement came within 10 s.
double lineToAnnouncement(Win32ScenarioClient& client, int round) {
    const bool on = round % 2 == 0;
    const std::string said = on ? "<b>on</b>" : "<b>off</b>";
    const int before = linesWith(client, said);
    client.userTypes(on ? "/randon" : "/randoff");
    const double typed = bench::monotonicSeconds();
    while (linesWith(client, said) == before) {
        if (bench::monotonicSeconds() - typed > 10) return -1;
    }
    return (bench::monotonicSeconds() - typed) * 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("WINEPREFIX") == nullptr) {
        const std::string script = MELODROP_SOURCE_DIR "/scripts/with-wine-prefix.sh";
        const std::string self = fs::canonical("/proc/self/exe");
        execlp("bash", "bash", script.c_str(), self.c_str(), static_cast<char*>(nullptr));
        std::perror("bash");
        return 2;
    }
    QCoreApplication app(argc, argv);
    for (const char* tool : {"Xvfb", "xdotool"}) {
        if (!bench::onPath(tool)) {
            std::fprintf(stderr, "%s is missing: run scripts/install-deps.sh\n", tool);
            return 2;
        }
    }
    const fs::path bin = bench::programFolder().parent_path() / "bin";

    // The program's folder (a copy of the program with what lies beside it), its settings,
    // MP3 folder and runtime folder, all temporary.
    QTemporaryDir work;
    const bench::ProgramHome home(bin, work.path().toStdString());
    const fs::path& root = home.root;
    home.settings("trig=/\nrandom=false\n");

    // Another build's Windows programs may be named, to compare builds.
    const QString windowsBin = qEnvironmentVariableIsEmpty("MELODROP_WINDOWS_BIN")
                                   ? QStringLiteral(MELODROP_WINDOWS_BIN)
                                   : qEnvironmentVariable("MELODROP_WINDOWS_BIN");
    Win32ScenarioClient client(windowsBin, work.path());
    if (!client.startError().isEmpty()) {
        std::fprintf(stderr, "the Win32 client: %s\n", qPrintable(client.startError()));
        return 2;
    }
    client.signOn("MeloFan");
    client.openRoom("Lobby");
    for (int i = 1; i <= kMembers; ++i) client.memberJoins("Member" + std::to_string(i));
    std::printf(
        "goals: a line to its announcement, median at most %.0f ms while lines arrive and "
        "%.0f ms after a quiet minute; quiet, melodrop, the bridge and Wine's server "
        "together at most %.1f%% of a core\n",
        kMaxLivelyMs, kMaxAfterQuietMs, kMaxQuietCorePercent);

    // Wine's server wakes every 16 ms whatever its programs do (it keeps the time that Windows
    // programs read from shared memory up to date): what that costs here, with the chat client
    // running and no bridge, is the floor of the quiet figure below.
    client.stopBridge();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    bench::UsageWatch watchFloor(processNamed("wineserver"));
    const double floorStart = bench::monotonicSeconds();
    while (bench::monotonicSeconds() - floorStart < kFloorSeconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        watchFloor.sample();
    }
    const double serverAlone = watchFloor.cpu / (bench::monotonicSeconds() - floorStart) * 100;
    if (!client.startBridge()) {
        std::fprintf(stderr, "the bridge did not start again: %s\n",
                     qPrintable(client.startError()));
        return 2;
    }

    bench::Xvfb x = bench::startXvfb();
    if (x.display.empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 2;
    }
    const std::vector<std::string> env = home.environment(x.display);
    bench::Child melodrop =
        bench::spawn({(home.program / "melodrop").string(), "--client", "bridge", "--bridge-port",
                      std::to_string(client.bridgePort()), "--bridge-token-file",
                      client.tokenFile().toStdString()},
                     env, (root / "melodrop.log").string());
    auto cleanUp = [&] {
        bench::stop(melodrop);
        bench::stop(x.server);
    };
    // The welcome box is answered until the program says in the room that it loaded.
    const bool up = waitFor(
        [&] {
            if (linesWith(client, "<b>loaded</b>") > 0) return true;
            for (const std::string& id : bench::findWindows(x.display, "^melodrop$", root))
                bench::run({"env", "DISPLAY=" + x.display, "xdotool", "windowfocus", "--sync", id,
                            "key", "Return"});
            return false;
        },
        90);
    client.userTypes("/ax 5");  // both chat scanners on
    if (!up || !waitFor([&] { return linesWith(client, "uto <b>x</b>er") > 0; }, 30)) {
        std::fprintf(stderr, "melodrop did not come up:\n%s\n",
                     bench::readFile(root / "melodrop.log").c_str());
        cleanUp();
        return 2;
    }

    std::vector<double> looks;
    for (int i = 0; i < 20; ++i) {
        const double started = bench::monotonicSeconds();
        client.rooms();
        looks.push_back((bench::monotonicSeconds() - started) * 1000.0);
    }
    bench::report({"one look at the client's transcript", bench::median(looks), "ms", -1, "", -1});

    bool met = true;
    int round = 0;
    std::vector<double> lively;
    for (int i = 0; i < kRounds; ++i) {
        lively.push_back(lineToAnnouncement(client, round++));
        std::this_thread::sleep_for(std::chrono::duration<double>(kApartSeconds));
    }
    std::printf("while lines arrive (%d lines %g s apart), in a room of %d members:\n", kRounds,
                kApartSeconds, kMembers);
    met &= bench::report(
        {"median line to announcement", bench::median(lively), "ms", kMaxLivelyMs, "", -1});
    bench::report({"worst line to announcement", bench::worst(lively), "ms", -1, "", -1});

    const pid_t chatClient = processNamed("fake-aol-client");
    std::vector<double> together, ofMelodrop, ofBridge, ofServer, ofClient, wakeUps, afterQuiet;
    for (int i = 0; i < kQuietRounds; ++i) {
        const double lastLine = bench::monotonicSeconds();
        std::this_thread::sleep_for(std::chrono::duration<double>(kSettleSeconds));
        bench::UsageWatch watchMelodrop(melodrop.pid);
        bench::UsageWatch watchBridge(static_cast<pid_t>(client.bridgeProcessId()));
        bench::UsageWatch watchServer(processNamed("wineserver"));
        bench::UsageWatch watchClient(chatClient);
        const double t0 = bench::monotonicSeconds();
        while (bench::monotonicSeconds() - lastLine < kQuietSeconds) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            for (bench::UsageWatch* w : {&watchMelodrop, &watchBridge, &watchServer, &watchClient})
                w->sample();
        }
        const double span = bench::monotonicSeconds() - t0;
        ofMelodrop.push_back(watchMelodrop.cpu / span * 100);
        ofBridge.push_back(watchBridge.cpu / span * 100);
        ofServer.push_back(watchServer.cpu / span * 100);
        ofClient.push_back(watchClient.cpu / span * 100);
        together.push_back(ofMelodrop.back() + ofBridge.back() + ofServer.back());
        wakeUps.push_back(watchMelodrop.switches / span);
        afterQuiet.push_back(lineToAnnouncement(client, round++));
        std::printf("  quiet minute %d: %.3f%% of a core, the next line answered in %.0f ms\n",
                    i + 1, together.back(), afterQuiet.back());
        std::fflush(stdout);
    }
    std::printf("quiet, from %g s after the last line to %g s (%d times, medians):\n",
                kSettleSeconds, kQuietSeconds, kQuietRounds);
    bench::report({"melodrop: share of one core", bench::median(ofMelodrop), "%", -1, "", -1});
    bench::report({"melodrop-bridge: share of one core", bench::median(ofBridge), "%", -1, "", -1});
    bench::report({"wineserver: share of one core", bench::median(ofServer), "%", -1, "", -1});
    met &= bench::report({"melodrop + bridge + wineserver: share of one core",
                          bench::median(together), "%", kMaxQuietCorePercent, "", -1});
    bench::report({"wineserver without the bridge (its own clock)", serverAlone, "%", -1, "", -1});
    bench::report({"what melodrop and the bridge add to that",
                   bench::median(together) - serverAlone, "%", -1, "", -1});
    bench::report({"the chat client: share of one core", bench::median(ofClient), "%", -1, "", -1});
    bench::report({"melodrop: wake-ups per second", bench::median(wakeUps), "/s", -1, "", -1});
    std::printf("the first line after a quiet minute:\n");
    met &= bench::report(
        {"median line to announcement", bench::median(afterQuiet), "ms", kMaxAfterQuietMs, "", -1});
    bench::report({"worst line to announcement", bench::worst(afterQuiet), "ms", -1, "", -1});
    const bool answered =
        std::none_of(lively.begin(), lively.end(), [](double ms) { return ms < 0; }) &&
        std::none_of(afterQuiet.begin(), afterQuiet.end(), [](double ms) { return ms < 0; });
    if (!answered) {
        std::fprintf(stderr, "a line was not answered within 10 s\n");
        met = false;
    }
    cleanUp();
    std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
