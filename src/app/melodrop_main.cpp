// melodrop: the player and its chat room, on the simulated chat client.
#include <QApplication>

#include "app/MelodropApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("melodrop"));
    // The program ends only through its exit (which ends the process at once), not when a
    // window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    melodrop::app::MelodropApp program;
    program.launch();
    return QApplication::exec();
}
