#include "mpris/MprisPlayer.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "program/Melodrop.h"

namespace melodrop::mpris {

namespace {

constexpr double kMicroseconds = 1e6;

qlonglong toMicroseconds(double seconds) {
    return std::llround(seconds * kMicroseconds);
}

}  // namespace

MprisPlayer::MprisPlayer(Melodrop& program, QObject* parent) : QObject(parent), program_(program) {
    const PlaybackTracker& playback = program_.playback();
    connect(&playback, &PlaybackTracker::changed, this, &MprisPlayer::reportChanges);
    connect(&playback, &PlaybackTracker::seeked, this,
            [this](double seconds) { emit seeked(toMicroseconds(seconds)); });
    connect(&program_.window(), &PlayerWindowModel::sliderChanged, this,
            &MprisPlayer::reportChanges);
    connect(&program_.tracks(), &QAbstractItemModel::modelReset, this, &MprisPlayer::reportChanges);
    connect(&program_.context().options.notifier(), &OptionsNotifier::changed, this,
            &MprisPlayer::reportChanges);
    raiseWindow_ = [this] { program_.trayLeftPressed(); };
    reported_ = changingProperties();
}

// ---- properties ----

QString MprisPlayer::playbackStatus() const {
    switch (program_.playback().status()) {
        case PlaybackTracker::Status::Playing:
            return QStringLiteral("Playing");
        case PlaybackTracker::Status::Paused:
            return QStringLiteral("Paused");
        case PlaybackTracker::Status::Stopped:
            break;
    }
    return QStringLiteral("Stopped");
}

QDBusObjectPath MprisPlayer::trackId() const {
    const PlaybackTracker& playback = program_.playback();
    if (playback.openedPath().isEmpty()) return QDBusObjectPath(kNoTrack);
    return QDBusObjectPath(QStringLiteral("/melodrop/track/%1").arg(playback.trackNumber()));
}

const MprisPlayer::OpenTrack& MprisPlayer::openTrack() const {
    const PlaybackTracker& playback = program_.playback();
    if (openTrack_.trackNumber != playback.trackNumber()) {
        openTrack_.trackNumber = playback.trackNumber();
        openTrack_.tags = tags::readTrackTags(playback.openedPath());
        openTrack_.pictureFile = pictures_.fileFor(openTrack_.tags.picture);
        openTrack_.tags.picture = {};  // kept as the file from now on
    }
    return openTrack_;
}

QVariantMap MprisPlayer::metadata() const {
    const PlaybackTracker& playback = program_.playback();
    QVariantMap data{{QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId())}};
    const QString path = playback.openedPath();
    if (path.isEmpty()) return data;
    const OpenTrack& track = openTrack();
    const tags::TrackTags& tags = track.tags;
    data.insert(QStringLiteral("xesam:title"),
                tags.title.isEmpty() ? QFileInfo(path).completeBaseName() : tags.title);
    data.insert(QStringLiteral("xesam:url"),
                QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    if (!tags.artist.isEmpty())
        data.insert(QStringLiteral("xesam:artist"), QStringList{tags.artist});
    if (!tags.album.isEmpty()) data.insert(QStringLiteral("xesam:album"), tags.album);
    if (tags.trackNumber > 0) data.insert(QStringLiteral("xesam:trackNumber"), tags.trackNumber);
    if (!track.pictureFile.isEmpty())
        data.insert(QStringLiteral("mpris:artUrl"),
                    QUrl::fromLocalFile(track.pictureFile).toString(QUrl::FullyEncoded));
    if (const double length = playback.Length(); length > 0)
        data.insert(QStringLiteral("mpris:length"), toMicroseconds(length));
    return data;
}

QString MprisPlayer::loopStatus() const {
    return program_.state().continuous ? QStringLiteral("Track") : QStringLiteral("None");
}

bool MprisPlayer::shuffle() const {
    return program_.state().random;
}

double MprisPlayer::volume() const {
    return program_.window().slider() / 100.0;
}

qlonglong MprisPlayer::position() const {
    if (program_.playback().openedPath().isEmpty()) return 0;
    return toMicroseconds(std::max(0.0, program_.playback().CurrentPosition()));
}

bool MprisPlayer::canGoNext() const {
    return program_.tracks().count() > 0;
}

bool MprisPlayer::canGoPrevious() const {
    return program_.tracks().count() > 0;
}

bool MprisPlayer::canPlay() const {
    return program_.tracks().count() > 0 ||
           program_.playback().status() == PlaybackTracker::Status::Paused;
}

bool MprisPlayer::canPause() const {
    return program_.playback().status() == PlaybackTracker::Status::Playing;
}

bool MprisPlayer::canSeek() const {
    return !program_.playback().openedPath().isEmpty();
}

QVariantMap MprisPlayer::changingProperties() const {
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPause()},
        {QStringLiteral("CanSeek"), canSeek()},
        {QStringLiteral("LoopStatus"), loopStatus()},
        {QStringLiteral("Shuffle"), shuffle()},
    };
}

void MprisPlayer::reportChanges() {
    const QVariantMap now = changingProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (reported_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
    reported_ = now;
    if (!changed.isEmpty()) emit propertiesChanged(changed);
}

// ---- commands ----

void MprisPlayer::play() {
    if (program_.playback().status() != PlaybackTracker::Status::Playing) program_.play();
}

void MprisPlayer::pause() {
    if (program_.playback().status() == PlaybackTracker::Status::Playing) program_.pause();
}

void MprisPlayer::playPause() {
    program_.playOrPause();
}

void MprisPlayer::stop() {
    program_.stop();
}

void MprisPlayer::next() {
    program_.next();
}

void MprisPlayer::previous() {
    program_.previous();
}

void MprisPlayer::seek(qlonglong offsetMicroseconds) {
    if (!canSeek()) return;
    program_.seekTo(program_.playback().CurrentPosition() + offsetMicroseconds / kMicroseconds);
}

void MprisPlayer::setPosition(const QDBusObjectPath& trackId, qlonglong microseconds) {
    if (!canSeek() || trackId != this->trackId() || microseconds < 0) return;
    const double length = program_.playback().Length();
    if (length > 0 && microseconds > toMicroseconds(length)) return;
    program_.seekTo(microseconds / kMicroseconds);
}

void MprisPlayer::setVolume(double volume) {
    if (std::isnan(volume)) return;
    program_.sliderMoved(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
}

void MprisPlayer::setLoopStatus(const QString& status) {
    const bool known = status == QLatin1String("None") || status == QLatin1String("Track") ||
                       status == QLatin1String("Playlist");
    const bool on = status != QLatin1String("None");
    if (known && program_.state().continuous != on)
        program_.menuTriggered(QStringLiteral("continuous"));
    if (loopStatus() != status)
        emit propertiesChanged({{QStringLiteral("LoopStatus"), loopStatus()}});
}

void MprisPlayer::setShuffle(bool on) {
    if (program_.state().random != on) program_.menuTriggered(QStringLiteral("random"));
}

void MprisPlayer::raise() {
    if (!program_.ended()) raiseWindow_();
}

}  // namespace melodrop::mpris
