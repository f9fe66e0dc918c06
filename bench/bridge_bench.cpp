// The real melodrop program with a real-windows chat client: the fake Win32 client runs under
// Wine with melodrop-bridge.exe beside it, and melodrop (`--client bridge`, under Xvfb) reaches
// it through the bridge, as a user's melodrop would. The user and 20 members act through the
// fake client's control program; the welcome box is answered with xdotool.
//
// Idle: both chat scanners on (`ax`), 10 s without anything happening, then 60 s watched: CPU of
// melodrop and of the bridge as a share of one core (goal: under 2% together); Wine's own server
// and melodrop's wake-ups are shown for information.
// Latency: the user's line in the client's transcript to melodrop's announcement in it, lines
// typed 0.3 s apart and after quiet spells of 4 s (goal: median under 60 ms). The client's
// transcript is looked at through its control program; what one look costs is shown.
//
// Needs the cross-built Windows programs (configure with the Windows tests on), wine64, Xvfb and
// xdotool; run without WINEPREFIX it makes a throw-away prefix with scripts/with-wine-prefix.sh.
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
constexpr double kQuietSeconds = 10;
constexpr double kIdleSeconds = 60;
constexpr int kRounds = 20;
constexpr double kMaxCorePercent = 2.0;
constexpr double kMaxLatencyMs = 60;

pid_t wineserverPid() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (bench::readFile(entry.path() / "comm").rfind("wineserver", 0) == 0)
            return static_cast<pid_t>(std::stol(name));
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

// Milliseconds from the user's line in the transcript to the announcement, lines `apart`
// seconds apart; random is switched on and off, each announced.
std::vector<double> lineToAnnouncement(Win32ScenarioClient& client, double apart) {
    std::vector<double> out;
    for (int round = 0; round < kRounds; ++round) {
        const bool on = round % 2 == 0;
        const std::string said = on ? "<b>on</b>" : "<b>off</b>";
        const int before = linesWith(client, said);
        client.userTypes(on ? "/randon" : "/randoff");
        const double typed = bench::monotonicSeconds();
        while (linesWith(client, said) == before) {
            if (bench::monotonicSeconds() - typed > 10) return {};
        }
        out.push_back((bench::monotonicSeconds() - typed) * 1000.0);
        std::this_thread::sleep_for(std::chrono::duration<double>(apart));
    }
    return out;
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

    Win32ScenarioClient client(QStringLiteral(MELODROP_WINDOWS_BIN), work.path());
    if (!client.startError().isEmpty()) {
        std::fprintf(stderr, "the Win32 client: %s\n", qPrintable(client.startError()));
        return 2;
    }
    client.signOn("MeloFan");
    client.openRoom("Lobby");
    for (int i = 1; i <= kMembers; ++i) client.memberJoins("Member" + std::to_string(i));

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

    std::printf("melodrop and melodrop-bridge idle in a room of %d members (%.0f s)\n", kMembers,
                kIdleSeconds);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::duration<double>(kQuietSeconds));
    bench::UsageWatch watchMelodrop(melodrop.pid);
    bench::UsageWatch watchBridge(static_cast<pid_t>(client.bridgeProcessId()));
    bench::UsageWatch watchServer(wineserverPid());
    const double t0 = bench::monotonicSeconds();
    while (bench::monotonicSeconds() - t0 < kIdleSeconds) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        watchMelodrop.sample();
        watchBridge.sample();
        watchServer.sample();
    }
    const double span = bench::monotonicSeconds() - t0;
    const double melodropCpu = watchMelodrop.cpu / span * 100;
    const double bridgeCpu = watchBridge.cpu / span * 100;
    bool met = true;
    bench::report({"melodrop: share of one core", melodropCpu, "%", -1, "", -1});
    bench::report({"melodrop-bridge: share of one core", bridgeCpu, "%", -1, "", -1});
    met &= bench::report({"melodrop + bridge: share of one core", melodropCpu + bridgeCpu, "%",
                          kMaxCorePercent, "", -1});
    bench::report({"wineserver: share of one core", watchServer.cpu / span * 100, "%", -1, "", -1});
    bench::report(
        {"melodrop: wake-ups per second", watchMelodrop.switches / span, "/s", -1, "", -1});

    std::vector<double> looks;
    for (int i = 0; i < 20; ++i) {
        const double started = bench::monotonicSeconds();
        client.rooms();
        looks.push_back((bench::monotonicSeconds() - started) * 1000.0);
    }
    bench::report({"one look at the client's transcript", bench::median(looks), "ms", -1, "", -1});
    for (const double apart : {0.3, 4.0}) {
        const std::vector<double> latency = lineToAnnouncement(client, apart);
        if (latency.empty()) {
            std::fprintf(stderr, "no announcement within 10 s\n");
            cleanUp();
            return 2;
        }
        std::printf("a user's line to the announcement, %d lines %g s apart:\n", kRounds, apart);
        met &= bench::report(
            {"median line to announcement", bench::median(latency), "ms", kMaxLatencyMs, "", -1});
        bench::report({"worst line to announcement", bench::worst(latency), "ms", -1, "", -1});
    }
    cleanUp();
    std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
