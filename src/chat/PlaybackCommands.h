#pragma once
// The chat commands that run the player: play and rand by name, next, prev, stop, pause,
// unpause, fwd, rwnd, vol, vol?, song?, dir, dir?, refresh and the continuous and random
// switches. Each ends with at most one announcement; a step that fails is skipped.
#include <QString>
#include <optional>

#include "base/Announcer.h"
#include "base/Clock.h"
#include "base/MediaPlayer.h"
#include "base/Options.h"
#include "base/PlayerWindowModel.h"
#include "base/TrackList.h"

namespace melodrop {

class PlaybackCommands {
public:
    PlaybackCommands(MediaPlayer& player, TrackList& tracks, PlayerWindowModel& window,
                     Options& options, Announcer& announcer, Clock& clock)
        : player_(player),
          tracks_(tracks),
          window_(window),
          options_(options),
          state_(options.state()),
          announcer_(announcer),
          clock_(clock) {}

    void play(const QString& search);
    // With a search text: among the matching files; without: among all files.
    void rand(const std::optional<QString>& search);
    void next();
    void prev();
    void stop();
    void pause();
    void unpause();
    void fwd(const QString& seconds);
    void rwnd(const QString& seconds);
    void songQuery();
    void vol(const QString& level);
    void volQuery();
    void dir(const QString& folder);
    void dirQuery();
    void refresh();
    void setContinuous(bool on);
    void setRandom(bool on);

private:
    bool trackChosen() const;
    void seek(const QString& seconds, double direction, Announcement line);
    // Current track = the selected file; opened from the list's folder.
    void openSelected(Announcement line);

    MediaPlayer& player_;
    TrackList& tracks_;
    PlayerWindowModel& window_;
    Options& options_;
    OptionsState& state_;
    Announcer& announcer_;
    Clock& clock_;
};

}  // namespace melodrop
