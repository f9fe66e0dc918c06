#pragma once
// The command line as melodrop and skinfetch read it, before any window exists (so that it
// answers without a display): -h/--help and -v/--version print and end; an option or argument
// the program does not know ends it with a message naming it as written and exit code 2; Qt's
// own options (-platform, -style ...) are accepted, left out of the help and passed on to Qt.
// Options may be written with one dash, as Qt's are.
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace melodrop::commandline {

// Exit code of a command line that cannot be understood.
inline constexpr int kUsageError = 2;

// What the command line decided before the program runs.
struct Outcome {
    // False: the program does not start; it prints output (standard output) and error
    // (standard error) and ends with exitCode.
    bool run = true;
    int exitCode = 0;
    QString output;
    QString error;
};

struct ProgramText {
    QString name;         // "melodrop": names the program in messages
    QString description;  // the first lines of the help
    QString usage;        // what follows "Usage: NAME", e.g. " [options] [FILE.mp3]"
    QString more;         // what the help says after the options
    QString version;      // the version's line without its program name
};

class ProgramCommandLine {
public:
    explicit ProgramCommandLine(ProgramText text);

    // Where the program adds its own options and positional arguments before parse().
    QCommandLineParser& parser() { return parser_; }
    // Reads the arguments (the program's name first). An outcome that does not run for
    // --help, --version and what cannot be understood; otherwise one that runs, and the
    // program reads its own options from parser().
    Outcome parse(const QStringList& arguments);
    // "NAME: WHAT" and where to find the options, exit code 2.
    Outcome usageError(const QString& what) const;

private:
    ProgramText text_;
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
};

// The arguments as main() received them, the program's name first.
QStringList argumentsOf(int argc, char** argv);
// Prints what a command line that does not start the program says, and returns its exit code.
int finishWithoutRunning(const Outcome& outcome);

}  // namespace melodrop::commandline
