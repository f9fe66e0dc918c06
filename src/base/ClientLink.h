#pragma once
// How the program reaches the chat client, kept for whoever shows it (the tray icon's tooltip,
// the options menu's status line): the simulated room until the program's builder says
// otherwise, and from then on whatever the client's window system tells.
#include <QObject>
#include <QString>

#include "aol/ClientLink.h"

namespace melodrop {

class ClientLink : public QObject {
    Q_OBJECT
public:
    QString summary() const { return QString::fromStdString(status_.summary); }
    // Takes the link's state; changed() when it differs from the one before.
    void set(const aol::LinkStatus& status);

signals:
    void changed();

private:
    aol::LinkStatus status_ = aol::SimulatedLink();
};

}  // namespace melodrop
