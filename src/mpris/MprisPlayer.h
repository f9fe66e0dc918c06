#pragma once
// What the desktop's media keys and media widgets see of melodrop and what they make it do,
// apart from the bus: the properties of the MPRIS player (status, metadata, volume, position,
// what can be done now) and its commands. Every command goes to the same action of the program
// as the player window's buttons and slider, so it announces and behaves as they do.
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "tags/CoverArtCache.h"
#include "tags/TrackTags.h"

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
    // mpris:trackid, xesam:url, mpris:length, and from the file's tags xesam:title (the file
    // name without its extension when the tag has none), xesam:artist, xesam:album,
    // xesam:trackNumber and mpris:artUrl (the embedded picture, kept in the cache folder).
    QVariantMap metadata() const;
    // The `continuous` option: "Track" (the track plays again at its end) or "None".
    QString loopStatus() const;
    bool shuffle() const;        // the `random` option
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
    // "None" switches `continuous` off and "Track" on, as its menu item does (with its
    // announcement). "Playlist" switches it on as well: continuous play is the only way of
    // looping melodrop has. Anything else changes nothing. The status it has then is reported
    // whether it changed or not, so that a client that assumed another learns which it is.
    void setLoopStatus(const QString& status);
    void setShuffle(bool on);  // switches `random` as its menu item does
    // Brings the player window forward: by default as the tray icon does; the program gives
    // it the way that also restores a minimised window.
    void raise();
    void setRaise(std::function<void()> raiseWindow) { raiseWindow_ = std::move(raiseWindow); }

signals:
    // Properties whose values differ from what was last reported (bus names and new values).
    void propertiesChanged(const QVariantMap& changed);
    // The position jumped (a seek, fast forward, rewind); the new position in microseconds.
    void seeked(qlonglong positionMicroseconds);

private:
    // What the tags of the open track say, read once per opened track.
    struct OpenTrack {
        int trackNumber = -1;
        tags::TrackTags tags;
        QString pictureFile;
    };

    void reportChanges();
    QDBusObjectPath trackId() const;
    const OpenTrack& openTrack() const;

    Melodrop& program_;
    QVariantMap reported_;
    std::function<void()> raiseWindow_;
    mutable OpenTrack openTrack_;
    mutable tags::CoverArtCache pictures_;
};

}  // namespace melodrop::mpris
