#pragma once
// What the player window's transport areas, the file list and the slider do, and the end of a
// track with the options menu's play, stop, pause and unpause.
#include "base/Announcer.h"
#include "base/Clock.h"
#include "base/MediaPlayer.h"
#include "base/Options.h"
#include "base/PlayerWindowModel.h"
#include "base/TrackList.h"

namespace melodrop {

class Transport {
public:
    Transport(MediaPlayer& player, TrackList& tracks, PlayerWindowModel& window, Options& options,
              Announcer& announcer, Clock& clock);

    // The player window.
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void fastForward();
    void rewind();
    // Fast forward and rewind by any amount: the position moves, nothing is announced.
    void seekTo(double seconds);
    void playListed(int index);
    void sliderMoved(int position);

    // The media player reached the end of the opened file.
    void trackEnded();

    // The options menu's playback items.
    void menuPlay();
    void menuStop();
    void menuPause();
    void menuUnpause();

private:
    // Current track = the selected file; open it from the list's folder; announce playing.
    void openSelected();
    // A random entry selected and opened from the MP3 folder text; false for an empty list.
    bool openRandom();
    bool trackChosen() const;
    // Makes sure a track is selected: the selected one, or else the first; false for an empty
    // list.
    bool selectSomething();

    MediaPlayer& player_;
    TrackList& tracks_;
    PlayerWindowModel& window_;
    Options& options_;
    OptionsState& state_;
    Announcer& announcer_;
    Clock& clock_;
};

}  // namespace melodrop
