#include "scenario/StepKinds.h"

#include <QRegularExpression>

#include "scenario/ScenarioWorld.h"

namespace melodrop::scenario {

std::vector<StepKind> allSteps() {
    std::vector<StepKind> all;
    for (auto group : {setupSteps(), actionSteps(), worldSteps(), expectSteps(),
                       expectProgramSteps(), outputSteps(), clientSteps()})
        for (StepKind& kind : group) all.push_back(std::move(kind));
    return all;
}

bool eventually(ScenarioWorld& w, const std::function<bool()>& check) {
    if (check()) return true;
    if (!w.realTimeClient()) return false;
    constexpr double kStep = 0.05;
    for (double waited = 0; waited < kEventuallySeconds; waited += kStep) {
        w.clock().advance(kStep);
        if (check()) return true;
    }
    return false;
}

std::vector<StepShape> shapesOf(const std::vector<StepKind>& kinds) {
    std::vector<StepShape> shapes;
    shapes.reserve(kinds.size());
    for (const StepKind& kind : kinds) shapes.push_back(kind.shape);
    return shapes;
}

QString unescape(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (text[i] != QLatin1Char('\\') || !QStringLiteral("nrt\\").contains(next)) {
            out += text[i];
            continue;
        }
        ++i;
        if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else
            out += QLatin1Char('\\');
    }
    return out;
}

QString escapeLineBreaks(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return text;
}

std::optional<double> parseDuration(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d+(?:\\.\\d+)?)(ms|s|m|h)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const double amount = match.captured(1).toDouble();
    const QString unit = match.captured(2);
    if (unit == QLatin1String("ms")) return amount / 1000.0;
    if (unit == QLatin1String("s")) return amount;
    if (unit == QLatin1String("m")) return amount * 60.0;
    return amount * 3600.0;
}

}  // namespace melodrop::scenario
