#include "scenario/ScenarioRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"
#include "scenario/TranscriptOutput.h"
#include "scenario/Watchdog.h"

namespace melodrop::scenario {

namespace {

// Replaces ${name} in one text; "" and the unknown name when a variable is unknown.
QString substitute(const QString& text, ScenarioWorld& world, QString& unknown) {
    static const QRegularExpression variable(QStringLiteral("\\$\\{([^}]*)\\}"));
    QString out;
    qsizetype last = 0;
    for (auto it = variable.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const auto value = world.variable(match.captured(1));
        if (!value) {
            unknown = match.captured(0);
            return {};
        }
        out += text.mid(last, match.capturedStart() - last) + *value;
        last = match.capturedEnd();
    }
    return out + text.mid(last);
}

std::optional<QString> substituteAll(Step& step, ScenarioWorld& world) {
    QString unknown;
    const auto apply = [&](QString& text) {
        if (unknown.isEmpty()) text = substitute(text, world, unknown);
    };
    for (QString& word : step.words) apply(word);
    apply(step.tail);
    for (QString& line : step.block) apply(line);
    if (unknown.isEmpty()) return std::nullopt;
    return QStringLiteral(
               "unknown variable %1; there are ${program}, ${mp3s}, ${server}, ${user} and those "
               "made with `define`")
        .arg(unknown);
}

class Run {
public:
    Run(const Script& script, const RunOptions& options)
        : script_(script),
          options_(options),
          kinds_(allSteps()),
          world_({options.besideProgram, options.forceSilent, options.installedPrograms,
                  options.client, options.windowsBin}),
          watchdog_(options.stepLimit) {
        world_.output = options.out;
    }

    RunResult play() {
        if (!world_.setupError().isEmpty())
            return finish(kScenarioError,
                          script_.name + QStringLiteral(": ") + world_.setupError());
        for (const Step& written : script_.steps) {
            if (auto failure = playStep(written)) {
                const int code = failure->kind == StepFailure::Kind::Expectation
                                     ? kExpectationFailed
                                     : kScenarioError;
                return finish(code, at(written.line) + failure->message);
            }
        }
        const auto& left = world_.desktop().pendingAnswers();
        if (!left.isEmpty())
            return finish(
                kScenarioError,
                at(left.first().line) +
                    QStringLiteral("this answer was never used: no question came after it"));
        if (world_.limits().any()) {
            printNote(world_, QStringLiteral("limits: ") + world_.limits().report());
            if (const QString over = world_.limits().exceeded(); !over.isEmpty())
                return finish(kExpectationFailed, script_.name + QStringLiteral(": ") + over);
        }
        return finish(kPassed, {});
    }

private:
    QString at(int line) const { return QStringLiteral("%1:%2: ").arg(script_.name).arg(line); }

    const StepKind& kindOf(const Step& step) const {
        return *std::find_if(kinds_.begin(), kinds_.end(),
                             [&](const StepKind& k) { return k.shape.keyword == step.keyword; });
    }

    std::optional<QString> phaseProblem(const StepKind& kind, const Step& step) const {
        const QString name = QLatin1Char('`') + step.keyword + QLatin1Char('`');
        switch (kind.phase) {
            case Phase::BeforeStart:
                if (world_.started())
                    return QStringLiteral("%1 must come before `start` (line %2)")
                        .arg(name)
                        .arg(startLine_);
                break;
            case Phase::Running:
                if (!world_.started())
                    return QStringLiteral("%1 needs the program: put `start` before it").arg(name);
                if (world_.ended())
                    return QStringLiteral("the program has ended (line %1), so %2 cannot run")
                        .arg(endLine_)
                        .arg(name);
                break;
            case Phase::Started:
                if (!world_.started())
                    return QStringLiteral("%1 needs the program: put `start` before it").arg(name);
                break;
            case Phase::Anytime:
                break;
        }
        return std::nullopt;
    }

    StepResult playStep(const Step& written) {
        const StepKind& kind = kindOf(written);
        if (auto problem = phaseProblem(kind, written)) return cannot(*problem);
        Step step = written;
        if (auto problem = substituteAll(step, world_)) return cannot(*problem);
        if (options_.trace && options_.err)
            options_.err(at(step.line) +
                         (QStringList{step.keyword} + step.words + QStringList{step.tail})
                             .join(QLatin1Char(' '))
                             .trimmed());

        watchdog_.arm(at(step.line).chopped(2) + QStringLiteral(" (") + step.keyword +
                      QLatin1Char(')'));
        StepResult result = kind.run(world_, step);
        if (!result && kind.letsTimePass) world_.settle();
        // What the program let go of is deleted now, as on a return to the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        watchdog_.disarm();

        if (step.keyword == QLatin1String("start") || step.keyword == QLatin1String("restart")) {
            startLine_ = step.line;
            endLine_ = 0;
        }
        if (world_.ended() && endLine_ == 0) endLine_ = step.line;
        if (!result) {
            if (auto problem = world_.desktop().takeProblem()) result = cannot(*problem);
        }
        return result;
    }

    RunResult finish(int code, const QString& message) {
        printNewLines(world_);
        RunResult result;
        result.exitCode = code;
        result.message = message;
        for (const RoomLine& line : world_.lines()) result.transcript << line.printed();
        if (code != kPassed && options_.err) options_.err(message);
        return result;
    }

    const Script& script_;
    const RunOptions& options_;
    const std::vector<StepKind> kinds_;
    ScenarioWorld world_;
    Watchdog watchdog_;
    int startLine_ = 0;
    int endLine_ = 0;
};

}  // namespace

RunResult runScenario(const QString& text, const QString& name, const RunOptions& options) {
    const auto parsed = parseScenario(text, name, shapesOf(allSteps()));
    if (const auto* error = std::get_if<ParseError>(&parsed)) {
        RunResult result;
        result.exitCode = kScenarioError;
        result.message = QStringLiteral("%1:%2: %3").arg(name).arg(error->line).arg(error->message);
        if (options.err) options.err(result.message);
        return result;
    }
    Run run(std::get<Script>(parsed), options);
    return run.play();
}

RunResult runScenarioFile(const QString& path, const RunOptions& options) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        RunResult result;
        result.exitCode = kScenarioError;
        result.message =
            QStringLiteral("%1: cannot read the scenario: %2").arg(path, file.errorString());
        if (options.err) options.err(result.message);
        return result;
    }
    return runScenario(QString::fromUtf8(file.readAll()), QFileInfo(path).fileName(), options);
}

}  // namespace melodrop::scenario
