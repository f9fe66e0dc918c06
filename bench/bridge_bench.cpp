// The program on the fake chat client of real Win32 windows under Wine, through melodrop-bridge:
// what melodrop and the bridge cost idle in a room of 20 members with both chat scanners on
// (CPU of each over 60 s; goal under 2% of one core together), and how long a user's line in the
// client's transcript takes to come back as the announcement in it (goal: median under 60 ms).
// Wine's own server works for both; its figure is shown for information.
//
// Needs the cross-built Windows programs (configure with the Windows tests on) and wine64; run
// without WINEPREFIX it makes a throw-away prefix with scripts/with-wine-prefix.sh.
#include <QApplication>
#include <QFile>

#include "BenchSupport.h"
#include "app/scenario/ScenarioWorld.h"
#include "app/scenario/Win32ScenarioClient.h"
#include "player/QtSettingsStore.h"

namespace {

constexpr int kMembers = 20;
constexpr double kIdleSeconds = 60;
constexpr int kRounds = 20;

using melodrop::scenario::ScenarioWorld;

pid_t wineserverPid() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string comm = bench::readFile(entry.path() / "comm");
        if (comm.rfind("wineserver", 0) == 0) return static_cast<pid_t>(std::stol(name));
    }
    return 0;
}

double cpuOf(pid_t pid) {
    return pid > 0 ? bench::usageOf(pid).cpu : 0.0;
}

// Milliseconds from the user's line in the client's transcript to the program's announcement,
// the lines `apart` seconds apart (after more than three seconds the room counts as quiet and
// the scanners poll at their slow interval).
std::vector<double> lineToAnnouncement(ScenarioWorld& world, double apart) {
    std::vector<double> out;
    for (int round = 0; round < kRounds; ++round) {
        const qsizetype before = world.lines().size();
        auto& client = static_cast<melodrop::scenario::Win32ScenarioClient&>(world.client());
        world.userTypes(QStringLiteral("/play love"));
        const double typed = bench::monotonicSeconds();
        const std::uint64_t exchangesBefore = client.bridgeExchanges();
        for (;;) {
            const auto& lines = world.lines();
            bool announced = false;
            for (qsizetype i = before; i < lines.size(); ++i)
                announced |= lines[i].text.contains(QStringLiteral("laying;"));
            if (announced) break;
            if (bench::monotonicSeconds() - typed > 10) {
                std::printf("  no announcement within 10 s\n");
                return {};
            }
            world.clock().advance(0.001);
        }
        out.push_back((bench::monotonicSeconds() - typed) * 1000.0);
        if (round == 0)
            std::printf(
                "  (requests to the bridge from the line to its announcement: %llu)\n",
                static_cast<unsigned long long>(client.bridgeExchanges() - exchangesBefore));
        world.clock().advance(apart);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("WINEPREFIX") == nullptr) {
        const std::string script = MELODROP_SOURCE_DIR "/scripts/with-wine-prefix.sh";
        const std::string self = std::filesystem::canonical("/proc/self/exe");
        execlp("bash", "bash", script.c_str(), self.c_str(), static_cast<char*>(nullptr));
        std::perror("bash");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    ScenarioWorld::Options options;
    options.besideProgram = QStringLiteral(MELODROP_RUNTIME_DIR);
    options.forceSilent = true;
    options.client = QStringLiteral("win32");
    options.windowsBin = QStringLiteral(MELODROP_WINDOWS_BIN);
    ScenarioWorld world(options);
    if (!world.setupError().isEmpty()) {
        std::printf("  cannot run: %s\n", qPrintable(world.setupError()));
        return 1;
    }
    world.settingsBeforeStart().WriteSetting(QStringLiteral("trig"), QStringLiteral("/"));
    QFile track(world.mp3Folder() + QStringLiteral("/Love Song.mp3"));
    track.open(QIODevice::WriteOnly);
    track.close();
    world.ensureRoom();
    for (int i = 1; i <= kMembers; ++i) world.client().memberJoins("Member" + std::to_string(i));
    world.start(true);
    world.userTypes(QStringLiteral("/ax 5"));  // both chat scanners on
    world.clock().advance(5);                  // start-up lines, then quiet

    auto& client = static_cast<melodrop::scenario::Win32ScenarioClient&>(world.client());
    const pid_t bridge = static_cast<pid_t>(client.bridgeProcessId());
    const pid_t server = wineserverPid();
    const double programBefore = cpuOf(getpid());
    const double bridgeBefore = cpuOf(bridge);
    const double serverBefore = cpuOf(server);
    const std::uint64_t exchangesBefore = client.bridgeExchanges();
    world.clock().advance(kIdleSeconds);
    const double exchanges =
        static_cast<double>(client.bridgeExchanges() - exchangesBefore) / kIdleSeconds;
    const double program = (cpuOf(getpid()) - programBefore) / kIdleSeconds * 100.0;
    const double bridgeCpu = (cpuOf(bridge) - bridgeBefore) / kIdleSeconds * 100.0;
    const double serverCpu = (cpuOf(server) - serverBefore) / kIdleSeconds * 100.0;

    bool met = true;
    std::printf("idle in a room of %d members, %g s:\n", kMembers, kIdleSeconds);
    bench::report({"melodrop CPU", program, "%", -1, "", -1});
    bench::report({"melodrop-bridge CPU", bridgeCpu, "%", -1, "", -1});
    met &= bench::report({"melodrop + melodrop-bridge CPU", program + bridgeCpu, "%", 2.0, "", -1});
    bench::report({"wineserver CPU", serverCpu, "%", -1, "", -1});
    bench::report({"requests to the bridge", exchanges, "/s", -1, "", -1});

    // What looking costs: the runner reads the client's transcript through fake-client-ctl, so
    // an announcement is seen up to one look after it arrived.
    std::vector<double> looks;
    for (int i = 0; i < 20; ++i) {
        const double started = bench::monotonicSeconds();
        world.lines();
        looks.push_back((bench::monotonicSeconds() - started) * 1000.0);
    }
    bench::report({"one look at the client's transcript", bench::median(looks), "ms", -1, "", -1});
    for (const double apart : {0.3, 4.0}) {
        const std::vector<double> latency = lineToAnnouncement(world, apart);
        if (latency.empty()) return 1;
        std::printf("a user's line to the announcement, %d lines %g s apart:\n", kRounds, apart);
        met &= bench::report(
            {"median line to announcement", bench::median(latency), "ms", 60, "", -1});
        bench::report({"worst line to announcement", bench::worst(latency), "ms", -1, "", -1});
    }
    std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
