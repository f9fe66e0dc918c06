#include "skinfetch/SkinfetchCommandLine.h"

namespace melodrop::skinfetch {

namespace {

const char* const kMore =
    "\n"
    "skinfetch lists the skins offered for melodrop by its update server and downloads the\n"
    "chosen one (a .zip archive, not unpacked) into melodrop's skins folder:\n"
    "~/.local/share/melodrop/skins/ when installed, the skins folder beside it otherwise.\n"
    "The environment variable MELODROP_UPDATE_SERVER names another server.\n"
    "Qt's own options (-platform, -style ...) are passed on to Qt.\n";

}  // namespace

SkinfetchCommandLine parseSkinfetchCommandLine(const QStringList& arguments) {
    commandline::ProgramCommandLine commandLine(
        {QStringLiteral("skinfetch"), QStringLiteral("Downloads skins for melodrop."),
         QStringLiteral(" [options]"), QString::fromLatin1(kMore),
         QStringLiteral(MELODROP_VERSION)});
    const SkinfetchCommandLine outcome = commandLine.parse(arguments);
    if (!outcome.run) return outcome;
    const QStringList positional = commandLine.parser().positionalArguments();
    if (!positional.isEmpty())
        return commandLine.usageError(
            QStringLiteral("unexpected argument '%1'").arg(positional.constFirst()));
    return outcome;
}

}  // namespace melodrop::skinfetch
