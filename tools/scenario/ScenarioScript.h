#pragma once
// A scenario file, split into steps. A step is one line: a keyword (one word, or two for
// "expect ..." and "answer ..."), then words (blank-separated, optionally "double-quoted"),
// then, for steps that take one, a tail: the rest of the line exactly as written, after the one
// blank that ends the words. Some steps open a block of lines closed by a line `end`.
// Blank lines and lines starting with # are skipped.
#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

namespace melodrop::scenario {

enum class TailRule { None, Optional, Required };
enum class BlockRule {
    None,
    InsteadOfTail,  // a step written without its tail opens a block
    Required,       // the step always opens a block
};

// What may follow a keyword; the parser checks every line against it.
struct StepShape {
    QString keyword;
    int minWords = 0;
    int maxWords = 0;
    TailRule tail = TailRule::None;
    BlockRule block = BlockRule::None;
    QString usage;  // e.g. "click CONTROL [ENTRY]"
};

struct Step {
    int line = 0;  // 1-based, in the scenario file
    QString keyword;
    QStringList words;
    QString tail;
    bool hasTail = false;
    QStringList block;  // lines between the step and `end`, leading blanks removed
    bool hasBlock = false;
};

struct Script {
    QString name;  // the file name, for messages
    std::vector<Step> steps;
};

struct ParseError {
    int line = 0;
    QString message;
};

std::variant<Script, ParseError> parseScenario(const QString& text, const QString& name,
                                               const std::vector<StepShape>& shapes);

}  // namespace melodrop::scenario
