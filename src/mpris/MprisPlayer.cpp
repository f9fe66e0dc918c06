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

QVariantMap MprisPlayer::metadata() const {
    const PlaybackTracker& playback = program_.playback();
    QVariantMap data{{QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId())}};
    const QString path = playback.openedPath();
    if (path.isEmpty()) return data;
    data.insert(QStringLiteral("xesam:title"), QFileInfo(path).completeBaseName());
    data.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(path).toString());
    if (const double length = playback.Length(); length > 0)
        data.insert(QStringLiteral("mpris:length"), toMicroseconds(length));
    return data;
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
    if (program_.playback().status() == PlaybackTracker::Status::Playing)
        program_.pause();
    else
        program_.play();
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

void MprisPlayer::raise() {
    program_.trayLeftPressed();
}

}  // namespace melodrop::mpris
