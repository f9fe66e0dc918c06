// melodrop: the player, on the chat client the command line names (the simulated one unless told).
// One melodrop runs per user: a later start hands its file (or a plain "come forward") to the
// running one and ends at once.
#include <QApplication>
#include <QDBusConnection>

#include "app/CommandLine.h"
#include "app/MelodropApp.h"
#include "mpris/MprisService.h"
#include "ui/InstanceLock.h"

int main(int argc, char** argv) {
    const auto options =
        melodrop::app::parseCommandLine(melodrop::commandline::argumentsOf(argc, argv));
    if (!options.run) return melodrop::commandline::finishWithoutRunning(options);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("melodrop"));
    QGuiApplication::setDesktopFileName(QStringLiteral(MELODROP_APP_ID));
    // The program ends only through its exit (which ends the process at once), not when a
    // window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    // Another melodrop holds the lock: it is the one to play; this start ends here, before the
    // welcome box.
    auto lock = std::make_shared<melodrop::ui::InstanceLock>(melodrop::ui::instanceLockPath());
    if (lock->take() == melodrop::ui::InstanceLock::Outcome::HeldElsewhere)
        return melodrop::app::handToRunningInstance(options.file);

    melodrop::app::MelodropApp program(options.client, std::move(lock));
    // Listening from the start: a start during the splash is served once it is over.
    program.listenForOtherStarts();
    program.launch();
    // Media keys and desktop media widgets, where there is a session bus.
    melodrop::mpris::MprisService mpris(program.program());
    mpris.player().setRaise([&program] { program.bringForward(); });
    if (!program.program().ended()) mpris.publish(QDBusConnection::sessionBus());
    if (!options.file.isEmpty()) program.playFile(options.file);
    return QApplication::exec();
}
