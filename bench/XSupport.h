#pragma once
// For the benchmarks that run the real program on a display: a private Xvfb, and xdotool to find
// its windows and act as the user.
#include <fstream>
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
// A copy of the built program with what lies beside it, its configuration folder, an MP3 folder
// and a runtime folder, all under `root`; and the environment that runs it there on `display`.
struct ProgramHome {
    fs::path root, program, mp3s, config, runtime;

    ProgramHome(const fs::path& builtPrograms, const fs::path& under)
        : root(under),
          program(under / "program"),
          mp3s(under / "mp3s"),
          config(under / "config"),
          runtime(under / "runtime") {
        for (const fs::path& folder : {program, mp3s, config / "melodrop", runtime})
            fs::create_directories(folder);
        fs::permissions(runtime, fs::perms::owner_all);
        fs::copy_file(builtPrograms / "melodrop", program / "melodrop");
        fs::copy(builtPrograms / "skins", program / "skins", fs::copy_options::recursive);
        fs::copy_file(builtPrograms / "commands.txt", program / "commands.txt");
        std::ofstream(program / "immune.txt");
    }
    // The settings file's [options] lines after the MP3 folder ("key=value\n" each).
    void settings(const std::string& lines) const {
        std::ofstream(config / "melodrop" / "melodrop.ini")
            << "[options]\nmp3dir=" << mp3s.string() << "\n"
            << lines;
    }
    std::vector<std::string> environment(const std::string& display) const {
        return {"DISPLAY=" + display,
                "QT_QPA_PLATFORM=xcb",
                "SDL_AUDIODRIVER=dummy",
                "XDG_CONFIG_HOME=" + config.string(),
                "XDG_RUNTIME_DIR=" + runtime.string(),
                "HOME=" + root.string()};
    }
};

}  // namespace bench
