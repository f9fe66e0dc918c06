#include "ui/NowPlaying.h"

#include <QFileInfo>
#include <cmath>

#include "program/Melodrop.h"

namespace melodrop::ui {

QString clockText(double seconds) {
    const long long whole =
        std::isfinite(seconds) && seconds > 0 ? static_cast<long long>(seconds) : 0;
    const long long hours = whole / 3600;
    const long long minutes = whole / 60 % 60;
    const QString secs = QStringLiteral("%1").arg(whole % 60, 2, 10, QLatin1Char('0'));
    if (hours > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(secs);
    return QStringLiteral("%1:%2").arg(minutes).arg(secs);
}

QString nowPlayingText(const PlaybackTracker& playback) {
    if (playback.openedPath().isEmpty() || playback.status() == PlaybackTracker::Status::Stopped)
        return {};
    QString text = QFileInfo(playback.openedPath()).fileName() + QStringLiteral(" - ") +
                   clockText(playback.CurrentPosition());
    if (const double length = playback.Length(); length > 0)
        text += QStringLiteral(" / ") + clockText(length);
    if (playback.status() == PlaybackTracker::Status::Paused) text += QStringLiteral(" (paused)");
    return text;
}

QString trayToolTip(const QString& tip, const QString& nowPlaying, const QString& link) {
    QStringList lines{tip};
    for (const QString& line : {nowPlaying, link})
        if (!line.isEmpty()) lines << line;
    return lines.join(QLatin1Char('\n'));
}

NowPlayingTips::NowPlayingTips(Melodrop& program, QObject* parent)
    : QObject(parent), program_(program), tick_(program.context().clock.createTimer()) {
    tick_->setInterval(1000);
    tick_->onTick = [this] { update(); };
    const PlaybackTracker& playback = program_.playback();
    connect(&playback, &PlaybackTracker::changed, this, &NowPlayingTips::update);
    connect(&playback, &PlaybackTracker::seeked, this, &NowPlayingTips::update);
    update();
}

NowPlayingTips::~NowPlayingTips() = default;

void NowPlayingTips::update() {
    const PlaybackTracker& playback = program_.playback();
    const bool playing = playback.status() == PlaybackTracker::Status::Playing;
    // The second hand moves only while a track plays.
    if (tick_->isEnabled() != playing) tick_->setEnabled(playing);
    const QString text = nowPlayingText(playback);
    if (text == text_) return;
    text_ = text;
    emit changed(text_);
}

}  // namespace melodrop::ui
