#pragma once
// One chat line taken apart the way the command dispatcher sees it. Positions are 1-based and
// count characters (UTF-16 units; text from the chat client is single-byte, so each character
// is one unit).
#include <QString>

namespace melodrop {

struct CommandLine {
    QString text;           // the line exactly as the scanner reported it
    int blankPosition = 0;  // position of the first blank, 0 when there is none
    QString word;           // the characters before the first blank; the whole line without one
    QString argument;       // the characters after the first blank, untrimmed; the whole line
                            // when there is no blank
    // Set by the dispatcher: false when the command's length rule says it runs without its
    // argument (the short form of rand, the commands that take none).
    bool withArgument = true;

    int length() const { return static_cast<int>(text.size()); }
};

// Splits a line into blank position, command word and argument.
CommandLine splitCommandLine(const QString& text);

// True when the first occurrence of the trigger in the line is at position 1. An empty trigger
// counts as found at position 1.
bool startsWithTrigger(const QString& text, const QString& trigger);

// The characters between the first blank and the first comma, and after that comma, each with
// leading and trailing blanks removed, when the line obeys the idle-linker comma rule: the
// comma exists, lies more than two positions after the first blank and more than two positions
// before the end of the line. Returns false otherwise.
bool splitAtComma(const CommandLine& line, QString& before, QString& after);

// Removes leading and trailing blanks (spaces only; other characters stay).
QString trimBlanks(const QString& text);

}  // namespace melodrop
