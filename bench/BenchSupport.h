#pragma once
// What the benchmarks share: running other programs and timing them, reading a process's CPU
// time, context switches and memory from /proc, medians, and printing each figure with its goal
// and its peer in one format.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace bench {

namespace fs = std::filesystem;

inline double monotonicSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// The folder of the running benchmark program.
inline fs::path programFolder() {
    return fs::canonical("/proc/self/exe").parent_path();
}

// One figure: what was measured, its goal (met when the value is at most the goal, or at least
// it with atLeast) and what a peer program does on the same task.
struct Figure {
    std::string name;
    double value = 0;
    std::string unit;
    double goal = 0;
    std::string peerName;
    double peer = -1;  // < 0: no peer figure
    bool atLeast = false;
    bool met() const { return atLeast ? value >= goal : value <= goal; }
};

// Prints one figure; a negative goal marks a figure shown for information only.
inline bool report(const Figure& f) {
    char line[512];
    if (f.goal >= 0)
        std::snprintf(line, sizeof line, "  %-48s %9.3f %-5s goal %s %8.3f %-5s", f.name.c_str(),
                      f.value, f.unit.c_str(), f.atLeast ? ">=" : "< ", f.goal, f.unit.c_str());
    else
        std::snprintf(line, sizeof line, "  %-48s %9.3f %-5s %-22s", f.name.c_str(), f.value,
                      f.unit.c_str(), "(no goal of its own)");
    std::string out = line;
    if (f.peer >= 0) {
        std::snprintf(line, sizeof line, "  peer (%s) %.3f %s", f.peerName.c_str(), f.peer,
                      f.unit.c_str());
        out += line;
    }
    const bool met = f.goal < 0 || f.met();
    if (f.goal >= 0) out += met ? "  met" : "  MISSED";
    std::printf("%s\n", out.c_str());
    std::fflush(stdout);
    return met;
}

// A child process, started with posix_spawn.
struct Child {
    pid_t pid = -1;
    bool running() const { return pid > 0; }
};

// Starts a program (looked up in PATH) with extra environment entries ("NAME=value") and its
// standard output and error sent to the given file (or /dev/null when empty).
inline Child spawn(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                   const std::string& outputFile = {}) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool overridden = std::any_of(env.begin(), env.end(), [&](const std::string& x) {
            return x.substr(0, x.find('=')) == name;
        });
        if (!overridden) envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string target = outputFile.empty() ? "/dev/null" : outputFile;
    posix_spawn_file_actions_addopen(&actions, 1, target.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    Child child;
    if (posix_spawnp(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

struct Finished {
    bool ok = false;  // exited with status 0
    double wall = 0;  // seconds
    double cpu = 0;   // user + system seconds
    double peakMb = 0;
};

inline Finished waitFor(Child& child, double startedAt) {
    Finished f;
    int status = 0;
    rusage usage{};
    if (wait4(child.pid, &status, 0, &usage) != child.pid) return f;
    child.pid = -1;
    f.wall = monotonicSeconds() - startedAt;
    auto seconds = [](const timeval& tv) { return tv.tv_sec + tv.tv_usec / 1e6; };
    f.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    f.peakMb = usage.ru_maxrss / 1024.0;
    f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return f;
}

// Runs a program to its end.
inline Finished run(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                    const std::string& outputFile = {}) {
    const double start = monotonicSeconds();
    Child child = spawn(args, env, outputFile);
    if (!child.running()) return {};
    return waitFor(child, start);
}

inline void stop(Child& child) {
    if (!child.running()) return;
    kill(child.pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        int status = 0;
        if (waitpid(child.pid, &status, WNOHANG) == child.pid) {
            child.pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(child.pid, SIGKILL);
    waitpid(child.pid, nullptr, 0);
    child.pid = -1;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The value of a "Name:   value" line of /proc/PID/status (or of a task's status); -1 if absent.
inline long statusField(const std::string& status, const std::string& name) {
    const std::size_t at = status.find(name + ":");
    if (at == std::string::npos) return -1;
    return std::strtol(status.c_str() + at + name.size() + 1, nullptr, 10);
}

// What a running process has used so far: CPU seconds (all threads) and context switches (all
// threads, voluntary and not: each one is a wake-up or a preemption).
struct Usage {
    double cpu = 0;
    long switches = 0;
    long threads = 0;
};

inline Usage usageOf(pid_t pid) {
    Usage u;
    const fs::path proc = "/proc/" + std::to_string(pid);
    std::error_code error;
    for (const auto& task : fs::directory_iterator(proc / "task", error)) {
        // schedstat: nanoseconds spent on a CPU, first of three fields.
        u.cpu += std::strtod(readFile(task.path() / "schedstat").c_str(), nullptr) / 1e9;
        const std::string status = readFile(task.path() / "status");
        const long voluntary = statusField(status, "voluntary_ctxt_switches");
        const long involuntary = statusField(status, "nonvoluntary_ctxt_switches");
        if (voluntary >= 0) u.switches += voluntary;
        if (involuntary >= 0) u.switches += involuntary;
        ++u.threads;
    }
    return u;
}

// Adds up what a running process's threads use between samples, thread by thread.
class UsageWatch {
public:
    explicit UsageWatch(pid_t pid) : pid_(pid) {
        sample();
        cpu = 0;
        switches = 0;
    }
    void sample() {
        std::map<std::string, std::pair<double, long>> now;
        std::error_code error;
        for (const auto& task :
             fs::directory_iterator("/proc/" + std::to_string(pid_) + "/task", error)) {
            const std::string status = readFile(task.path() / "status");
            const long voluntary = statusField(status, "voluntary_ctxt_switches");
            const long involuntary = statusField(status, "nonvoluntary_ctxt_switches");
            if (voluntary < 0 || involuntary < 0) continue;
            const double onCpu =
                std::strtod(readFile(task.path() / "schedstat").c_str(), nullptr) / 1e9;
            const std::string tid = task.path().filename().string();
            now[tid] = {onCpu, voluntary + involuntary};
            const auto before = last_.find(tid);
            cpu += onCpu - (before == last_.end() ? 0 : before->second.first);
            switches +=
                voluntary + involuntary - (before == last_.end() ? 0 : before->second.second);
        }
        last_ = std::move(now);
    }
    double cpu = 0;     // seconds on a CPU since the first sample
    long switches = 0;  // context switches since the first sample

private:
    pid_t pid_;
    std::map<std::string, std::pair<double, long>> last_;
};

inline double residentMb(pid_t pid) {
    return statusField(readFile("/proc/" + std::to_string(pid) + "/status"), "VmRSS") / 1024.0;
}

// The process's proportional share: pages shared with other processes (libraries) count in part.
inline double proportionalMb(pid_t pid) {
    return statusField(readFile("/proc/" + std::to_string(pid) + "/smaps_rollup"), "Pss") / 1024.0;
}

inline double peakResidentMb(pid_t pid) {
    return statusField(readFile("/proc/" + std::to_string(pid) + "/status"), "VmHWM") / 1024.0;
}

}  // namespace bench
