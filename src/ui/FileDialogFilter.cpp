#include "ui/FileDialogFilter.h"

#include <QRegularExpression>
#include <QStringList>

namespace melodrop::ui {

QString toQtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description may carry its own "(*.ext)": Qt reads the patterns from the last
        // parentheses, so drop it and put the real patterns there.
        static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        QString description = parts.at(i);
        description.remove(trailingPatterns);
        description = description.trimmed();
        QString patterns = parts.at(i + 1).trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns.remove(QLatin1Char('('));
        patterns.remove(QLatin1Char(')'));
        if (patterns.isEmpty()) continue;
        if (description.isEmpty()) description = patterns;
        entries << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace melodrop::ui
