#pragma once
// melodrop on the session bus as an MPRIS media player ("org.mpris.MediaPlayer2.melodrop" at
// /org/mpris/MediaPlayer2), so that media keys and desktop media widgets reach it. Changes of
// its properties are signalled with org.freedesktop.DBus.Properties.PropertiesChanged.
#include <QDBusConnection>
#include <QObject>

#include "mpris/MprisPlayer.h"

namespace melodrop {
class Melodrop;
}

namespace melodrop::mpris {

class MprisService : public QObject {
    Q_OBJECT
public:
    explicit MprisService(Melodrop& program, QObject* parent = nullptr);
    ~MprisService() override;

    // Puts the player on the bus. False, quietly, when there is no bus or the name is taken:
    // the program then runs as before, without media keys.
    bool publish(const QDBusConnection& bus);
    bool published() const { return published_; }

    MprisPlayer& player() { return player_; }

private:
    void sendPropertiesChanged(const QVariantMap& changed);

    MprisPlayer player_;
    QDBusConnection bus_{QString()};
    bool published_ = false;
};

}  // namespace melodrop::mpris
