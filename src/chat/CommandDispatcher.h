#pragma once
// Decides whether a chat line is a command of the signed-on user and runs it. The dispatcher
// keeps no state between lines, so a line that arrives while a command waits on the chat client
// (the waits pump events) is dispatched in full.
#include <QString>
#include <functional>
#include <vector>

#include "chat/CommandLine.h"

namespace melodrop {

// How a command's length rule treats the whole line (trigger included).
enum class LengthRule {
    AtLeast,       // runs with its argument when the line has at least `number` characters
    AtMost,        // runs without argument when the line has at most `number` characters
    Unchecked,     // runs whatever follows the command word
    ArgumentFrom,  // always runs; with its argument from `number` characters on, without below
    CommaRule,     // always handed over; the command applies the comma rule itself
};

struct Command {
    QString name;
    LengthRule rule;
    int number;
    std::function<void(const CommandLine&)> run;
};

// False when the line breaks the rule; otherwise sets line.withArgument.
bool applyLengthRule(LengthRule rule, int number, CommandLine& line);

class CommandDispatcher {
public:
    // currentUser is asked afresh for every line; trigger is read on every line.
    CommandDispatcher(std::vector<Command> table, std::function<QString()> currentUser,
                      std::function<QString()> trigger);

    // The ChatLine event of the command scanner.
    void handleLine(const QString& screenName, const QString& text);

    const std::vector<Command>& table() const { return table_; }

private:
    const std::vector<Command> table_;
    std::function<QString()> currentUser_;
    std::function<QString()> trigger_;
};

}  // namespace melodrop
