#pragma once
// Plays a scenario against the whole melodrop program on the simulated chat client and reports
// how it went. The language is described in docs/SCENARIOS.md.
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

namespace melodrop::scenario {

enum ExitCode {
    kPassed = 0,
    kExpectationFailed = 1,  // the program did something other than expected
    kScenarioError = 2,      // the scenario is malformed or a step cannot be carried out
};

struct RunOptions {
    // Where skins/, demo/ and commands.txt lie (beside the runner's executable).
    QString besideProgram;
    // The program folder of an installed melodrop (<prefix>/bin): the program then finds its
    // files as installed there, and writes into a temporary per-user data folder. Empty: the
    // program's folder is a temporary copy of what lies beside the runner.
    QString installedPrograms;
    // The chat client: "sim" (the simulated client, on the scenario's virtual clock) or "win32"
    // (the fake client of real Win32 windows under Wine, reached through melodrop-bridge, in real
    // time; its Windows programs in windowsBin, Wine's prefix in WINEPREFIX), or "wine" (the
    // same, with the bridge started as `melodrop --client wine` starts it).
    QString client = QStringLiteral("sim");
    QString windowsBin;
    // Play silently whatever the scenario's `player` line says.
    bool forceSilent = false;
    // A step that runs longer than this in real time ends the process (see Watchdog).
    std::chrono::seconds stepLimit{120};
    // Every step is reported to err before it runs.
    bool trace = false;
    std::function<void(const QString&)> out;  // the transcript and notes, line by line
    std::function<void(const QString&)> err;  // the failure message, the trace
};

struct RunResult {
    int exitCode = kPassed;
    QString message;         // "name:line: what went wrong" unless passed
    QStringList transcript;  // every line of the room, "Sender: text"
};

RunResult runScenario(const QString& text, const QString& name, const RunOptions& options);
RunResult runScenarioFile(const QString& path, const RunOptions& options);

}  // namespace melodrop::scenario
