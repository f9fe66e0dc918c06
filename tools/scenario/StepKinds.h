#pragma once
// The steps a scenario can take: each with the shape of its line, when it may run, whether
// virtual time passes after it, and what it does. Grouped by purpose in SetupSteps.cpp,
// ActionSteps.cpp, WorldSteps.cpp, ExpectSteps.cpp, ExpectProgramSteps.cpp and
// TranscriptOutput.cpp; a new group is one more entry in allSteps().
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "scenario/ScenarioScript.h"

namespace melodrop::scenario {

class ScenarioWorld;

struct StepFailure {
    enum class Kind {
        Expectation,  // the program did something other than expected
        Scenario,     // the step cannot be carried out (a missing file, an unknown control ...)
    };
    Kind kind = Kind::Scenario;
    QString message;
};
using StepResult = std::optional<StepFailure>;

inline StepResult passed() {
    return std::nullopt;
}
inline StepResult expectationFailed(const QString& message) {
    return StepFailure{StepFailure::Kind::Expectation, message};
}
inline StepResult cannot(const QString& message) {
    return StepFailure{StepFailure::Kind::Scenario, message};
}
inline StepResult outsideRun(const QString& path) {
    return cannot(
        QStringLiteral("%1 lies outside the run's temporary folders; a scenario writes only there")
            .arg(path));
}

enum class Phase {
    BeforeStart,  // prepares what the program finds when it starts
    Running,      // needs the program started and not yet ended
    Started,      // needs the program started (it may have ended since)
    Anytime,
};

struct StepKind {
    StepShape shape;
    Phase phase = Phase::Anytime;
    bool letsTimePass = false;  // the runner settles the clock after the step
    std::function<StepResult(ScenarioWorld&, const Step&)> run;
};

std::vector<StepKind> setupSteps();
std::vector<StepKind> actionSteps();
std::vector<StepKind> expectSteps();
std::vector<StepKind> expectProgramSteps();
std::vector<StepKind> outputSteps();
std::vector<StepKind> worldSteps();
std::vector<StepKind> clientSteps();

// Whether `check` holds. On a client that lives in real time the program answers a moment after
// the step that asked it to, so there time passes until it holds or kEventuallySeconds have
// gone by; on the simulated client the step's settling time was enough, and it is checked once.
inline constexpr double kEventuallySeconds = 10.0;
bool eventually(ScenarioWorld& w, const std::function<bool()>& check);

// All of them, and their shapes for the parser.
std::vector<StepKind> allSteps();
std::vector<StepShape> shapesOf(const std::vector<StepKind>& kinds);

// For messages: a text in double quotes; lines indented, one a line ("(none)" for none).
inline QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

inline QString indented(const QStringList& lines) {
    if (lines.isEmpty()) return QStringLiteral("  (none)");
    return QStringLiteral("  ") + lines.join(QStringLiteral("\n  "));
}

// \n, \r, \t and \\ in texts that may hold line breaks (server bodies, dialog texts); any
// other backslash stays as it is.
QString unescape(const QString& text);
// The other way round, for showing such texts on one line.
QString escapeLineBreaks(QString text);

// "1.5s", "250ms", "60m", "2h" as seconds; nullopt when malformed.
std::optional<double> parseDuration(const QString& text);

}  // namespace melodrop::scenario
