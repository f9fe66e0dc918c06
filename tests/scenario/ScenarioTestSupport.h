#pragma once
// Runs scenario files (tests/scenario/scenarios) and inline scenario text through the scenario
// runner's library, silently unless asked for the audio engine, and keeps what it printed.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include "fakes/QtPrinters.h"
#include "fakes/Sanitizers.h"
#include "scenario/ScenarioRunner.h"

namespace melodrop::e2e {

struct ScenarioRun {
    scenario::RunResult result;
    QStringList out;  // the transcript and notes as printed
    QStringList err;  // the failure message
};

enum class Player { Silent, AsScenarioSays };

inline scenario::RunOptions optionsFor(ScenarioRun& run, Player player) {
    scenario::RunOptions options;
    options.besideProgram = QStringLiteral(MELODROP_RUNTIME_DIR);
    options.forceSilent = player == Player::Silent;
    // The limit is there to catch a hang; built with the sanitizers everything runs several
    // times slower.
    options.stepLimit = std::chrono::seconds(testing::kUnderAddressSanitizer ? 240 : 60);
    options.out = [&run](const QString& line) { run.out << line; };
    options.err = [&run](const QString& line) { run.err << line; };
    return options;
}

inline ScenarioRun runText(const QString& text, Player player = Player::Silent) {
    ScenarioRun run;
    run.result = scenario::runScenario(text, QStringLiteral("inline.scn"), optionsFor(run, player));
    return run;
}

inline QString scenarioPath(const QString& file) {
    return QStringLiteral(MELODROP_FIXTURES_DIR "/../scenario/scenarios/") + file;
}

inline ScenarioRun runPath(const QString& path, Player player = Player::Silent) {
    ScenarioRun run;
    run.result = scenario::runScenarioFile(path, optionsFor(run, player));
    return run;
}

inline ScenarioRun runFile(const QString& file, Player player = Player::Silent) {
    return runPath(scenarioPath(file), player);
}

// Passes when the scenario ran to its end with every expectation met; otherwise shows why.
inline ::testing::AssertionResult passes(const ScenarioRun& run) {
    if (run.result.exitCode == scenario::kPassed) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "exit code " << run.result.exitCode << "\n"
           << run.result.message.toStdString() << "\n--- transcript ---\n"
           << run.result.transcript.join(QLatin1Char('\n')).toStdString();
}

}  // namespace melodrop::e2e
