// How long listing the MP3 folder takes, and what it costs in memory, for 10,000 and 100,000
// files: the track list on its own, and `start quick` of the whole program (the scenario runner
// hosting melodrop with its player window, on the silent player), next to a sorted `ls` of the
// same folder. The folder holds names in mixed case, some ending ".MP3" or ".Mp3", some with
// accents, and a few files that are not MP3s. Runs are interleaved and the medians reported.
//
// Goals: 100,000 files: the track list and `start quick` under 0.5 s, a peak under 80 MB;
//        10,000 files: the track list and what the files add to `start quick` (beyond the same
//        step on an empty folder) under 40 ms, a peak under 40 MB.
// Usage: listing_bench [RUNS]   (5 unless given)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "base/TrackList.h"

namespace {

using bench::Figure;
namespace fs = std::filesystem;

struct Size {
    int files;
    double seconds;  // goal for start quick
    double peakMb;   // goal for the whole program's peak
};

const Size kSizes[] = {{10000, 0.040, 40.0}, {100000, 0.5, 80.0}};

std::string nameOf(int i) {
    static const char* const artists[] = {"Artist", "bänd",    "ZEBRA crew", "the Étoiles",
                                          "MC one", "quartet", "Øresund",    "y"};
    static const char* const endings[] = {".mp3", ".mp3", ".mp3", ".MP3", ".Mp3"};
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%s - track %06d - Some Title %d%s", artists[i % 8],
                  (i * 7919) % 1000003, i % 97, endings[i % 5]);
    return buffer;
}

// A folder of `files` MP3 names (empty files) and one other file per twenty.
bool makeFolder(const fs::path& folder, int files) {
    fs::create_directories(folder);
    for (int i = 0; i < files; ++i) {
        std::ofstream(folder / nameOf(i));
        if (i % 20 == 0) std::ofstream(folder / ("cover " + std::to_string(i) + ".jpg"));
    }
    return static_cast<int>(std::distance(fs::directory_iterator(folder), {})) > files;
}

// The track list alone: one setFolder of the folder, in seconds.
double trackListSeconds(const QString& folder, int expected) {
    melodrop::TrackList list;
    QElapsedTimer timer;
    timer.start();
    list.setFolder(folder);
    const double s = timer.nsecsElapsed() / 1e9;
    if (list.count() != expected)
        std::fprintf(stderr, "the list holds %d files, not %d\n", list.count(), expected);
    return s;
}

struct ProgramRun {
    double startQuick = -1;  // seconds of the `start quick` step
    double peakMb = -1;
};

// The scenario runner: settings pointing at the folder, `start quick`, then one more step. The
// step's time is read from the runner's trace (one line per step, written before it runs).
ProgramRun programRun(const fs::path& runner, const fs::path& work, const fs::path& folder) {
    const fs::path scenario = work / "listing.scn";
    std::ofstream(scenario) << "player silent\nsetting mp3dir " << folder.string()
                            << "\nstart quick\nwait 1ms\n";
    const fs::path trace = work / "trace.txt";
    const double start = bench::monotonicSeconds();
    bench::Child child =
        bench::spawn({runner.string(), "--silent", "--trace", scenario.string()},
                     {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy"}, trace.string());
    // Follow the trace as it grows: note when each step's line appears.
    double startedQuick = -1, nextStep = -1;
    // The peak is read from the running process: a spawned child's own rusage figure can carry
    // the peak of the process that started it.
    double peak = 0;
    std::size_t seen = 0;
    for (;;) {
        siginfo_t info{};
        // Has it ended? (WNOWAIT: leave it to waitFor, which collects it.)
        const bool exited =
            waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == child.pid;
        if (!exited) peak = std::max(peak, bench::peakResidentMb(child.pid));
        const std::string text = bench::readFile(trace);
        const double now = bench::monotonicSeconds();
        if (text.size() > seen) {
            if (startedQuick < 0 && text.find("start quick") != std::string::npos)
                startedQuick = now;
            if (nextStep < 0 && text.find("wait 1ms") != std::string::npos) nextStep = now;
            seen = text.size();
        }
        if (exited) break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ProgramRun out;
    const bench::Finished f = bench::waitFor(child, start);
    if (!f.ok) return out;
    out.peakMb = peak;
    if (startedQuick >= 0 && nextStep >= 0) out.startQuick = nextStep - startedQuick;
    return out;
}

double lsSeconds(const fs::path& folder) {
    return bench::run({"ls", "-1", folder.string()}).wall;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path runner = bench::programFolder().parent_path() / "bin" / "melodrop-scenario";
    if (!fs::exists(runner)) {
        std::fprintf(stderr, "no %s: build the project first\n", runner.c_str());
        return 2;
    }
    QTemporaryDir work;
    const fs::path root = work.path().toStdString();
    const fs::path empty = root / "empty";
    fs::create_directories(empty);

    bool met = true;
    std::printf("listing the MP3 folder (medians of %d interleaved runs)\n", runs);
    for (const Size& size : kSizes) {
        const fs::path folder = root / ("mp3s-" + std::to_string(size.files));
        if (!makeFolder(folder, size.files)) {
            std::fprintf(stderr, "could not make %s\n", folder.c_str());
            return 2;
        }
        std::vector<double> list, quick, quickEmpty, peak, peakEmpty, ls;
        for (int r = 0; r < runs; ++r) {
            list.push_back(trackListSeconds(QString::fromStdString(folder.string()), size.files));
            const ProgramRun full = programRun(runner, root, folder);
            const ProgramRun bare = programRun(runner, root, empty);
            if (full.startQuick < 0 || bare.startQuick < 0) {
                std::fprintf(stderr, "the scenario runner failed\n");
                return 2;
            }
            quick.push_back(full.startQuick);
            peak.push_back(full.peakMb);
            quickEmpty.push_back(bare.startQuick);
            peakEmpty.push_back(bare.peakMb);
            ls.push_back(lsSeconds(folder));
        }
        const std::string n = std::to_string(size.files) + " files: ";
        std::printf("%d files\n", size.files);
        met &= bench::report({n + "track list", bench::median(list), "s", size.seconds, "sorted ls",
                              bench::median(ls)});
        // The step also shows the window and sends the start-up lines, whatever the folder
        // holds: at 10,000 files the goal is on the time the files add to it.
        const bool small = size.files <= 10000;
        met &=
            bench::report({n + "start quick, whole program", bench::median(quick), "s",
                           small ? -1 : size.seconds, "empty folder", bench::median(quickEmpty)});
        std::vector<double> added;
        for (std::size_t i = 0; i < quick.size(); ++i) added.push_back(quick[i] - quickEmpty[i]);
        met &= bench::report({n + "start quick, time the files add", bench::median(added), "s",
                              size.seconds, "sorted ls", bench::median(ls)});
        met &= bench::report({n + "peak memory, whole program", bench::median(peak), "MB",
                              size.peakMb, "empty folder", bench::median(peakEmpty)});
        fs::remove_all(folder);
    }
    std::printf("%s\n", met ? "goals met" : "GOALS MISSED");
    return met ? 0 : 1;
}
