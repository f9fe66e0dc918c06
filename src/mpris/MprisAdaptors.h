#pragma once
// The two MPRIS interfaces on the bus, as thin adaptors over MprisPlayer: org.mpris.MediaPlayer2
// (the application) and org.mpris.MediaPlayer2.Player (playback). Qt DBus answers the property
// reads and writes and the introspection from these declarations.
#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

#include "mpris/MprisPlayer.h"

namespace melodrop::mpris {

class RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    RootAdaptor(QObject* object, MprisPlayer& player);

    // The program ends only through its own exit, which asks first.
    bool canQuit() const { return false; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return QStringLiteral("melodrop"); }
    QString desktopEntry() const { return QStringLiteral(MELODROP_APP_ID); }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }

public slots:
    void Raise() { player_.raise(); }
    void Quit() {}

private:
    MprisPlayer& player_;
};

class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPause)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)
    Q_PROPERTY(QString LoopStatus READ loopStatus WRITE setLoopStatus)
    Q_PROPERTY(bool Shuffle READ shuffle WRITE setShuffle)
public:
    PlayerAdaptor(QObject* object, MprisPlayer& player);

    QString playbackStatus() const { return player_.playbackStatus(); }
    double rate() const { return 1.0; }
    void setRate(double) {}  // plays at its own speed only
    QVariantMap metadata() const { return player_.metadata(); }
    double volume() const { return player_.volume(); }
    void setVolume(double volume) { player_.setVolume(volume); }
    qlonglong position() const { return player_.position(); }
    bool canGoNext() const { return player_.canGoNext(); }
    bool canGoPrevious() const { return player_.canGoPrevious(); }
    bool canPlay() const { return player_.canPlay(); }
    bool canPause() const { return player_.canPause(); }
    bool canSeek() const { return player_.canSeek(); }
    bool canControl() const { return true; }
    QString loopStatus() const { return player_.loopStatus(); }
    void setLoopStatus(const QString& status) { player_.setLoopStatus(status); }
    bool shuffle() const { return player_.shuffle(); }
    void setShuffle(bool on) { player_.setShuffle(on); }

public slots:
    void Next() { player_.next(); }
    void Previous() { player_.previous(); }
    void Pause() { player_.pause(); }
    void PlayPause() { player_.playPause(); }
    void Stop() { player_.stop(); }
    void Play() { player_.play(); }
    void Seek(qlonglong Offset) { player_.seek(Offset); }
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
        player_.setPosition(TrackId, Position);
    }
    void OpenUri(const QString&) {}  // plays only the files of its folder

signals:
    void Seeked(qlonglong Position);

private:
    MprisPlayer& player_;
};

}  // namespace melodrop::mpris
