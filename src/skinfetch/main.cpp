// skinfetch: lists the skins offered on the update server and downloads one into a folder.
// The server's address is built in (MELODROP_UPDATE_SERVER at build time); the environment
// variable MELODROP_UPDATE_SERVER, when set, replaces it (demos and tests use a local server).
#include <QApplication>

#include "locations/FileLocations.h"
#include "net/QtWebTransfer.h"
#include "skinfetch/QtSkinfetchDialogs.h"
#include "skinfetch/Skinfetch.h"
#include "skinfetch/SkinfetchCommandLine.h"
#include "skinfetch/SkinfetchWindow.h"

int main(int argc, char** argv) {
    const auto commandLine = melodrop::skinfetch::parseSkinfetchCommandLine(
        melodrop::commandline::argumentsOf(argc, argv));
    if (!commandLine.run) return melodrop::commandline::finishWithoutRunning(commandLine);

    QApplication app(argc, argv);
    // Its windows' class is its desktop entry's StartupWMClass.
    QApplication::setApplicationName(QStringLiteral("skinfetch"));
    QGuiApplication::setDesktopFileName(QStringLiteral(MELODROP_APP_ID ".skinfetch"));
    const QByteArray serverOverride = qgetenv("MELODROP_UPDATE_SERVER");
    const QString server = serverOverride.isEmpty() ? QStringLiteral(MELODROP_UPDATE_SERVER)
                                                    : QString::fromLocal8Bit(serverOverride);

    melodrop::QtWebTransfer transfer;
    melodrop::skinfetch::QtSkinfetchDialogs dialogs;
    // skinfetch keeps its skins folder where melodrop looks for skins first.
    const melodrop::FileLocations files = melodrop::FileLocations::forThisProgram();
    melodrop::skinfetch::Skinfetch logic(transfer, dialogs, files.userFolder(), server);
    melodrop::skinfetch::SkinfetchWindow window(logic);
    dialogs.setParentWidget(&window);
    window.show();
    return app.exec();
}
