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

// The current track's name before any track was chosen; stop and pause test for it.
inline const QString kNoTrack = QStringLiteral("mp3 name");

// What the transport works on: the player, the track list, the player window's state, the
// options, the announcements, and the clock that seeds random picks.
struct TransportUses {
    MediaPlayer& player;
    TrackList& tracks;
    PlayerWindowModel& window;
    Options& options;
    Announcer& announcer;
    Clock& clock;
};

// Where a track is opened from: the track list's folder, or the MP3 folder text `txtMP3sPath`
// (the two differ while the list still shows an earlier folder; each action says which).
enum class TrackFolder { List, Mp3FolderText };
// Whether an opened track is announced after it was opened, or first.
enum class AnnounceWhen { AfterOpening, BeforeOpening };

class Transport {
public:
    explicit Transport(const TransportUses& uses);

    const TransportUses& uses() const { return uses_; }

    // The current track `lblMP3Name`: the bare file name of the track last opened, kNoTrack
    // before any was.
    const QString& lblMP3Name() const { return lblMP3Name_; }
    bool trackChosen() const { return lblMP3Name_ != kNoTrack; }
    // Makes `name` the current track, opens it from `folder` and announces it as `line`. Every
    // track the player window, the options menu and the chat commands open goes through here.
    void openTrack(const QString& name, TrackFolder folder, Announcement line,
                   AnnounceWhen when = AnnounceWhen::AfterOpening);

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
    // Makes sure a track is selected: the selected one, or else the first; false for an empty
    // list.
    bool selectSomething();

    TransportUses uses_;
    const OptionsState& state_;
    QString lblMP3Name_ = kNoTrack;
};

}  // namespace melodrop
