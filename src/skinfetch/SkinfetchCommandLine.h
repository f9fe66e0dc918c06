#pragma once
// skinfetch's command line, read before any window exists (so that it answers without a
// display): --help and --version print and end; an option or argument it does not know ends it
// with a message and exit code 2, as melodrop does. Qt's own options (-platform, -style ...)
// pass on to Qt.
#include <QString>
#include <QStringList>

namespace melodrop::skinfetch {

inline constexpr int kUsageError = 2;

struct SkinfetchCommandLine {
    bool run = true;  // false: print output and error, end with exitCode
    int exitCode = 0;
    QString output;
    QString error;
};

// The arguments as the program received them, its own name first.
SkinfetchCommandLine parseSkinfetchCommandLine(const QStringList& arguments);

}  // namespace melodrop::skinfetch
