#pragma once
// skinfetch's command line: no options of its own besides --help and --version, and no
// arguments; read as melodrop's is (commandline/ProgramCommandLine.h).
#include "commandline/ProgramCommandLine.h"

namespace melodrop::skinfetch {

using commandline::kUsageError;
using SkinfetchCommandLine = commandline::Outcome;

// The arguments as the program received them, its own name first.
SkinfetchCommandLine parseSkinfetchCommandLine(const QStringList& arguments);

}  // namespace melodrop::skinfetch
