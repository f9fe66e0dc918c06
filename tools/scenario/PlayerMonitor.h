#pragma once
// The program's media player as the scenario sees it: passes every call on to the player that
// really plays (the audio engine or the silent one) and keeps what a listener would know: which
// file was opened, whether it plays, is paused, stopped or ended, the volume and the last seek.
#include <QString>
#include <memory>
#include <optional>

#include "base/MediaPlayer.h"

namespace melodrop::scenario {

class PlayerMonitor : public MediaPlayer {
    Q_OBJECT
public:
    enum class State { NothingOpened, Playing, Paused, Stopped, Ended, OpenFailed };

    explicit PlayerMonitor(QObject* parent = nullptr);
    ~PlayerMonitor() override;

    // The player that plays; set once, before the program starts.
    void setInner(std::unique_ptr<MediaPlayer> inner);

    bool Open(const QString& path) override;
    bool Play() override;
    bool Pause() override;
    bool Stop() override;
    double CurrentPosition() const override;
    bool SetCurrentPosition(double seconds) override;
    bool SetVolume(int hundredthsOfDecibel) override;
    double Length() const override { return inner_ ? inner_->Length() : 0.0; }

    State state() const { return state_; }
    QString openedPath() const { return openedPath_; }
    std::optional<int> volume() const { return volume_; }
    std::optional<double> lastSeek() const { return lastSeek_; }

    // Lets the open track reach its end: at once for the silent player, by moving the real one
    // past the end and waiting (at most timeoutMs of real time) for it to say so. False when
    // nothing plays or no end was reported.
    bool endTrack(int timeoutMs);
    // The program has ended, and playback with it; later calls do nothing.
    void programEnded();

    static QString describe(State state);

private:
    std::unique_ptr<MediaPlayer> inner_;
    State state_ = State::NothingOpened;
    QString openedPath_;
    std::optional<int> volume_;
    std::optional<double> lastSeek_;
    int tracksEnded_ = 0;
    bool ended_ = false;
};

}  // namespace melodrop::scenario
