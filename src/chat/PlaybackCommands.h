#pragma once
// The chat commands that run the player: play and rand by name, next, prev, stop, pause,
// unpause, fwd, rwnd, vol, vol?, song?, dir, dir?, refresh and the continuous and random
// switches. Each ends with at most one announcement; a step that fails is skipped.
#include <QString>
#include <optional>

#include "player/Transport.h"

namespace melodrop {

class PlaybackCommands {
public:
    // The commands run the player as the player window does: through its transport, which
    // holds the current track and opens every track.
    explicit PlaybackCommands(Transport& transport)
        : transport_(transport), uses_(transport.uses()), state_(uses_.options.state()) {}

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
    void seek(const QString& seconds, double direction, Announcement line);
    // Current track = the selected file; opened from the list's folder.
    void openSelected(Announcement line);

    Transport& transport_;
    const TransportUses& uses_;
    OptionsState& state_;
};

}  // namespace melodrop
