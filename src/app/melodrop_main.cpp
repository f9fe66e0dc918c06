// melodrop: the player, on the chat client the command line names (the simulated one unless told).
#include <QApplication>
#include <QDBusConnection>

#include "app/CommandLine.h"
#include "app/MelodropApp.h"
#include "mpris/MprisService.h"

int main(int argc, char** argv) {
    const auto options = melodrop::app::parseCommandLine(melodrop::app::argumentsOf(argc, argv));
    if (!options.run) return melodrop::app::finishWithoutRunning(options);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("melodrop"));
    QGuiApplication::setDesktopFileName(QStringLiteral(MELODROP_APP_ID));
    // The program ends only through its exit (which ends the process at once), not when a
    // window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    melodrop::app::MelodropApp program(options.client);
    program.launch();
    // Media keys and desktop media widgets, where there is a session bus.
    melodrop::mpris::MprisService mpris(program.program());
    if (!program.program().ended()) mpris.publish(QDBusConnection::sessionBus());
    return QApplication::exec();
}
