#include "chat/CommandLine.h"

namespace melodrop {

CommandLine splitCommandLine(const QString& text) {
    CommandLine line;
    line.text = text;
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        line.word = text;
        line.argument = text;
        return line;
    }
    line.blankPosition = static_cast<int>(blank) + 1;
    line.word = text.left(blank);
    line.argument = text.mid(blank + 1);
    return line;
}

bool startsWithTrigger(const QString& text, const QString& trigger) {
    return text.startsWith(trigger, Qt::CaseSensitive);
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) --last;
    return text.mid(first, last - first);
}

bool splitAtComma(const CommandLine& line, QString& before, QString& after) {
    const int comma = static_cast<int>(line.text.indexOf(QLatin1Char(','))) + 1;
    if (comma == 0 || comma <= line.blankPosition + 2 || comma >= line.length() - 2) return false;
    // 1-based positions: the address runs from blank + 1 to comma - 1.
    before = trimBlanks(line.text.mid(line.blankPosition, comma - line.blankPosition - 1));
    after = trimBlanks(line.text.mid(comma));
    return true;
}

}  // namespace melodrop
