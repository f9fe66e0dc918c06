#include "scenario/PlayerMonitor.h"

#include <QEventLoop>
#include <QTimer>

#include "scenario/SilentMediaPlayer.h"

namespace melodrop::scenario {

PlayerMonitor::PlayerMonitor(QObject* parent) : MediaPlayer(parent) {}

PlayerMonitor::~PlayerMonitor() = default;

void PlayerMonitor::setInner(std::unique_ptr<MediaPlayer> inner) {
    inner_ = std::move(inner);
    connect(inner_.get(), &MediaPlayer::TrackEnded, this, [this](int reason) {
        state_ = State::Ended;
        ++tracksEnded_;
        emit TrackEnded(reason);
    });
}

bool PlayerMonitor::Open(const QString& path) {
    if (!inner_ || ended_) return false;
    openedPath_ = path;
    const bool ok = inner_->Open(path);
    state_ = ok ? State::Playing : State::OpenFailed;
    return ok;
}

bool PlayerMonitor::Play() {
    if (!inner_ || ended_ || !inner_->Play()) return false;
    if (state_ == State::Paused || state_ == State::Stopped || state_ == State::Ended)
        state_ = State::Playing;
    return true;
}

bool PlayerMonitor::Pause() {
    if (!inner_ || ended_ || !inner_->Pause()) return false;
    if (state_ == State::Playing) state_ = State::Paused;
    return true;
}

bool PlayerMonitor::Stop() {
    if (!inner_ || ended_ || !inner_->Stop()) return false;
    if (state_ != State::NothingOpened && state_ != State::OpenFailed) state_ = State::Stopped;
    return true;
}

double PlayerMonitor::CurrentPosition() const {
    return inner_ ? inner_->CurrentPosition() : 0.0;
}

bool PlayerMonitor::SetCurrentPosition(double seconds) {
    if (ended_) return false;
    lastSeek_ = seconds;
    return inner_ && inner_->SetCurrentPosition(seconds);
}

bool PlayerMonitor::SetVolume(int hundredthsOfDecibel) {
    if (ended_) return false;
    volume_ = hundredthsOfDecibel;
    return inner_ && inner_->SetVolume(hundredthsOfDecibel);
}

bool PlayerMonitor::endTrack(int timeoutMs) {
    if (!inner_ || (state_ != State::Playing && state_ != State::Paused)) return false;
    const int before = tracksEnded_;
    if (auto* silent = dynamic_cast<SilentMediaPlayer*>(inner_.get())) {
        silent->finishTrack();
        return tracksEnded_ > before;
    }
    // The real player ends a track that is moved past its end and reports it through the
    // event loop, from its own thread.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto ended =
        connect(this, &MediaPlayer::TrackEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    inner_->SetCurrentPosition(24 * 3600.0);
    limit.start(timeoutMs);
    if (tracksEnded_ == before) loop.exec();
    disconnect(ended);
    return tracksEnded_ > before;
}

void PlayerMonitor::programEnded() {
    if (inner_) inner_->Stop();
    state_ = State::NothingOpened;
    ended_ = true;
}

QString PlayerMonitor::describe(State state) {
    switch (state) {
        case State::NothingOpened:
            return QStringLiteral("empty");
        case State::Playing:
            return QStringLiteral("playing");
        case State::Paused:
            return QStringLiteral("paused");
        case State::Stopped:
            return QStringLiteral("stopped");
        case State::Ended:
            return QStringLiteral("ended");
        case State::OpenFailed:
            return QStringLiteral("empty (the file failed to open)");
    }
    return {};
}

}  // namespace melodrop::scenario
