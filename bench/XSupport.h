#pragma once
// For the benchmarks that run the real program on a display: a private Xvfb, and xdotool to find
// its windows and act as the user.
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"

namespace bench {

inline bool onPath(const std::string& program) {
    return bench::run({"sh", "-c", "command -v " + program}).ok;
}

// Output of a short command, without the last line break.
inline std::string capture(const std::vector<std::string>& args, const fs::path& scratch) {
    const fs::path out = scratch / "capture.txt";
    if (!bench::run(args, {}, out.string()).ok) return {};
    std::string text = bench::readFile(out);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

struct Xvfb {
    Child server;
    std::string display;
};

inline Xvfb startXvfb() {
    Xvfb x;
    for (int n = 91; n < 120; ++n) {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(n) + "-lock")) continue;
        x.display = ":" + std::to_string(n);
        x.server = spawn({"Xvfb", x.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        for (int i = 0; i < 100 && !fs::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (fs::exists(socket)) return x;
        stop(x.server);
    }
    x.display.clear();
    return x;
}

inline std::vector<std::string> findWindows(const std::string& display, const std::string& name,
                                            const fs::path& scratch) {
    const std::string out =
        capture({"env", "DISPLAY=" + display, "xdotool", "search", "--onlyvisible", "--name", name},
                scratch);
    std::vector<std::string> ids;
    std::istringstream lines(out);
    for (std::string id; std::getline(lines, id);)
        if (!id.empty()) ids.push_back(id);
    return ids;
}

}  // namespace bench
