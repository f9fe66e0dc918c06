#include "scenario/ScenarioScript.h"

#include <algorithm>
#include <optional>

namespace melodrop::scenario {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString withoutLeadingBlanks(const QString& s) {
    int i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.mid(i);
}

int editDistance(const QString& a, const QString& b) {
    std::vector<int> row(static_cast<std::size_t>(b.size()) + 1);
    for (int j = 0; j <= b.size(); ++j) row[static_cast<std::size_t>(j)] = j;
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const auto uj = static_cast<std::size_t>(j);
            const int above = row[uj];
            row[uj] =
                std::min({row[uj] + 1, row[uj - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[static_cast<std::size_t>(b.size())];
}

// Reads words and the tail of one line.
class LineReader {
public:
    explicit LineReader(const QString& text) : text_(text) {}

    bool atEnd() const {
        int i = pos_;
        while (i < text_.size() && isBlank(text_[i])) ++i;
        return i >= text_.size();
    }

    // The next word; a "quoted word" may hold blanks, \" and \\ inside it.
    std::optional<QString> word(QString& error) {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        if (pos_ >= text_.size()) return std::nullopt;
        QString out;
        if (text_[pos_] != QLatin1Char('"')) {
            while (pos_ < text_.size() && !isBlank(text_[pos_])) out += text_[pos_++];
            return out;
        }
        ++pos_;
        while (pos_ < text_.size()) {
            const QChar c = text_[pos_++];
            if (c == QLatin1Char('"')) return out;
            if (c == QLatin1Char('\\') && pos_ < text_.size() &&
                (text_[pos_] == QLatin1Char('"') || text_[pos_] == QLatin1Char('\\'))) {
                out += text_[pos_++];
                continue;
            }
            out += c;
        }
        error = QStringLiteral("a quoted word has no closing \"");
        return std::nullopt;
    }

    // Everything after the one blank that follows the last word; nullopt when nothing follows.
    std::optional<QString> tail() {
        if (pos_ >= text_.size()) return std::nullopt;
        QString rest = text_.mid(isBlank(text_[pos_]) ? pos_ + 1 : pos_);
        pos_ = static_cast<int>(text_.size());
        if (rest.isEmpty()) return std::nullopt;
        return rest;
    }

private:
    const QString& text_;
    int pos_ = 0;
};

class Parser {
public:
    Parser(const QString& text, const std::vector<StepShape>& shapes) : shapes_(shapes) {
        lines_ = text.split(QLatin1Char('\n'));
        for (QString& line : lines_)
            if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    }

    std::optional<ParseError> run(Script& script) {
        while (next_ < lines_.size()) {
            const int number = static_cast<int>(next_) + 1;
            const QString line = withoutLeadingBlanks(lines_[next_++]);
            if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
            Step step;
            step.line = number;
            if (auto error = parseStep(line, step)) return ParseError{number, *error};
            script.steps.push_back(std::move(step));
        }
        return std::nullopt;
    }

private:
    std::optional<QString> parseStep(const QString& line, Step& step) {
        if (line.trimmed() == QLatin1String("end"))
            return QStringLiteral("`end` without a block to close");
        LineReader reader(line);
        QString error;
        const QString first = reader.word(error).value_or(QString());
        if (!error.isEmpty()) return error;
        QString keyword = first;
        if (first == QLatin1String("expect") || first == QLatin1String("answer")) {
            const auto second = reader.word(error);
            if (!error.isEmpty()) return error;
            if (!second) return QStringLiteral("`%1` needs a kind: %2").arg(first, known(first));
            keyword += QLatin1Char(' ') + *second;
        }
        const StepShape* shape = find(keyword);
        if (!shape) return unknown(first, keyword);
        step.keyword = keyword;

        while (step.words.size() < shape->maxWords) {
            const auto w = reader.word(error);
            if (!error.isEmpty()) return error;
            if (!w) break;
            step.words << *w;
        }
        if (step.words.size() < shape->minWords)
            return QStringLiteral("missing words; usage: %1").arg(shape->usage);
        if (shape->tail == TailRule::None) {
            if (!reader.atEnd())
                return QStringLiteral("too much on this line; usage: %1").arg(shape->usage);
        } else if (const auto tail = reader.tail()) {
            step.tail = *tail;
            step.hasTail = true;
        }
        const bool opensBlock = shape->block == BlockRule::Required ||
                                (shape->block == BlockRule::InsteadOfTail && !step.hasTail);
        if (opensBlock) return readBlock(step);
        if (shape->tail == TailRule::Required && !step.hasTail)
            return QStringLiteral("missing text at the end; usage: %1").arg(shape->usage);
        return std::nullopt;
    }

    std::optional<QString> readBlock(Step& step) {
        step.hasBlock = true;
        while (next_ < lines_.size()) {
            const QString content = withoutLeadingBlanks(lines_[next_++]);
            if (content.trimmed() == QLatin1String("end")) return std::nullopt;
            step.block << content;
        }
        return QStringLiteral("the block opened here is never closed with a line `end`");
    }

    const StepShape* find(const QString& keyword) const {
        for (const StepShape& s : shapes_)
            if (s.keyword == keyword) return &s;
        return nullptr;
    }

    // The second words that follow `first` ("line", "transcript" ... for "expect").
    QString known(const QString& first) const {
        QStringList kinds;
        for (const StepShape& s : shapes_)
            if (s.keyword.startsWith(first + QLatin1Char(' ')))
                kinds << s.keyword.mid(first.size() + 1);
        return kinds.join(QStringLiteral(", "));
    }

    QString unknown(const QString& first, const QString& keyword) const {
        if (keyword != first)
            return QStringLiteral("unknown step `%1`; `%2` takes one of: %3")
                .arg(keyword, first, known(first));
        QString best;
        int bestDistance = 3;
        for (const StepShape& s : shapes_) {
            const QString candidate = s.keyword.section(QLatin1Char(' '), 0, 0);
            const int d = editDistance(first, candidate);
            if (d < bestDistance) {
                bestDistance = d;
                best = candidate;
            }
        }
        QString message = QStringLiteral("unknown step `%1`").arg(first);
        if (!best.isEmpty()) message += QStringLiteral(" (did you mean `%1`?)").arg(best);
        return message;
    }

    const std::vector<StepShape>& shapes_;
    QStringList lines_;
    qsizetype next_ = 0;
};

}  // namespace

std::variant<Script, ParseError> parseScenario(const QString& text, const QString& name,
                                               const std::vector<StepShape>& shapes) {
    Script script;
    script.name = name;
    Parser parser(text, shapes);
    if (auto error = parser.run(script)) return *error;
    return script;
}

}  // namespace melodrop::scenario
