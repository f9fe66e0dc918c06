#include "chat/CommandDispatcher.h"

namespace melodrop {

bool applyLengthRule(LengthRule rule, int number, CommandLine& line) {
    switch (rule) {
        case LengthRule::AtLeast:
            line.withArgument = true;
            return line.length() >= number;
        case LengthRule::AtMost:
            line.withArgument = false;
            return line.length() <= number;
        case LengthRule::ArgumentFrom:
            line.withArgument = line.length() >= number;
            return true;
        case LengthRule::Unchecked:
        case LengthRule::CommaRule:
            line.withArgument = true;
            return true;
    }
    return false;
}

CommandDispatcher::CommandDispatcher(std::vector<Command> table,
                                     std::function<QString()> currentUser,
                                     std::function<QString()> trigger)
    : table_(std::move(table)),
      currentUser_(std::move(currentUser)),
      trigger_(std::move(trigger)) {}

void CommandDispatcher::handleLine(const QString& screenName, const QString& text) {
    // Only the user's own lines are commands. With nobody signed on the client reports no user;
    // a line whose sender could not be told apart must not pass as the user's.
    const QString user = currentUser_();
    if (user.isEmpty() || screenName != user) return;

    const QString trigger = trigger_();
    if (!startsWithTrigger(text, trigger)) return;

    CommandLine line = splitCommandLine(text);
    // The word must be the trigger followed directly by a command name.
    if (!line.word.startsWith(trigger)) return;
    const QStringView name = QStringView(line.word).mid(trigger.size());
    for (const Command& command : table_) {
        if (command.name != name) continue;
        if (applyLengthRule(command.rule, command.number, line)) command.run(line);
        return;
    }
}

}  // namespace melodrop
