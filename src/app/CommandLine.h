#pragma once
// melodrop's command line. It is read before the application object exists, so that --help and
// --version work without a display; Qt's own options (-platform, -style ...) pass on to Qt.
// An option is a few lines here: a QCommandLineOption in parseCommandLine and a field below.
#include <QString>
#include <QStringList>

#include "app/clients/ChatClient.h"

namespace melodrop::app {

// Exit code of a command line that cannot be understood.
inline constexpr int kUsageError = 2;

struct CommandLineOptions {
    // False: the program does not start; it prints output (standard output) and error
    // (standard error) and ends with exitCode.
    bool run = true;
    int exitCode = 0;
    QString output;
    QString error;
    // Which chat client to run on, and how to reach it.
    ClientChoice client;
    // An MP3 file to play (absolute), "" for none: given to the running melodrop, or played by
    // this one once it has started. Of several files the first plays (a file manager's "Open
    // with" may pass several); the list shows the others of its folder.
    QString file;
};

// The arguments as the program received them, its own name first.
CommandLineOptions parseCommandLine(const QStringList& arguments);
QStringList argumentsOf(int argc, char** argv);
// Prints what a command line that does not start the program says, and returns its exit code.
int finishWithoutRunning(const CommandLineOptions& options);

}  // namespace melodrop::app
