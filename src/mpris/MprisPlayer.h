#pragma once
// What the desktop's media keys and media widgets see of melodrop and what they make it do,
// apart from the bus: the properties of the MPRIS player (status, metadata, volume, position,
// what can be done now) and its commands. Every command goes to the same action of the program
// as the player window's buttons and slider, so it announces and behaves as they do.
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace melodrop {
class Melodrop;
}

namespace melodrop::mpris {

inline const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.melodrop");
inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// The track id when nothing is open, fixed by MPRIS.
inline const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

class MprisPlayer : public QObject {
    Q_OBJECT
public:
    explicit MprisPlayer(Melodrop& program, QObject* parent = nullptr);

    // ---- org.mpris.MediaPlayer2.Player properties ----
    QString playbackStatus() const;  // "Playing", "Paused" or "Stopped"
    // mpris:trackid, xesam:title (the file name without its extension), xesam:url, mpris:length
    QVariantMap metadata() const;
    double volume() const;       // the volume slider, 0.0 to 1.0
    qlonglong position() const;  // microseconds
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const;
    bool canPause() const;
    bool canSeek() const;
    // The properties that change while the program runs, by their bus names (not Position,
    // which a listener reads when it needs it).
    QVariantMap changingProperties() const;

    // ---- commands ----
    void play();       // the play button, unless a track plays already
    void pause();      // the pause button, while a track plays
    void playPause();  // pause while a track plays, play otherwise
    void stop();
    void next();
    void previous();
    void seek(qlonglong offsetMicroseconds);
    // Ignored unless the track id names the open track and the position lies inside it.
    void setPosition(const QDBusObjectPath& trackId, qlonglong microseconds);
    void setVolume(double volume);  // as the slider moved to volume × 100
    void raise();                   // brings the player window back, as the tray icon does

signals:
    // Properties whose values differ from what was last reported (bus names and new values).
    void propertiesChanged(const QVariantMap& changed);
    // The position jumped (a seek, fast forward, rewind); the new position in microseconds.
    void seeked(qlonglong positionMicroseconds);

private:
    void reportChanges();
    QDBusObjectPath trackId() const;

    Melodrop& program_;
    QVariantMap reported_;
};

}  // namespace melodrop::mpris
