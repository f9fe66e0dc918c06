#pragma once
// melodrop's command line, read as skinfetch's is (commandline/ProgramCommandLine.h: --help,
// --version, usage errors, Qt's own options). An option is a few lines here: a
// QCommandLineOption in parseCommandLine and a field below.
#include <QString>
#include <QStringList>

#include "app/clients/ChatClient.h"
#include "commandline/ProgramCommandLine.h"

namespace melodrop::app {

using commandline::kUsageError;

// Whether the program runs (commandline::Outcome), and with what.
struct CommandLineOptions : commandline::Outcome {
    // Which chat client to run on, and how to reach it.
    ClientChoice client;
    // An MP3 file to play (absolute), "" for none: given to the running melodrop, or played by
    // this one once it has started. Of several files the first plays (a file manager's "Open
    // with" may pass several); the list shows the others of its folder.
    QString file;
};

// The arguments as the program received them, its own name first.
CommandLineOptions parseCommandLine(const QStringList& arguments);

}  // namespace melodrop::app
