#pragma once
// The MP3 folder and library items of the options menu: choosing the folder, refreshing it,
// finding a track by name, showing the selected name and setting the volume by number.
#include "base/Desktop.h"
#include "base/MediaPlayer.h"
#include "base/Options.h"
#include "base/PlayerWindowModel.h"
#include "base/TrackList.h"

namespace melodrop {

// Points the hidden folder list at a folder; the track list follows it and reads the folder.
// False (and nothing changes) when the folder cannot be listed.
bool setFolderRelay(TrackList& tracks, OptionsState& state, const QString& folder);

class Library {
public:
    Library(Desktop& desktop, MediaPlayer& player, TrackList& tracks, PlayerWindowModel& window,
            Options& options)
        : desktop_(desktop),
          player_(player),
          tracks_(tracks),
          window_(window),
          options_(options),
          state_(options.state()) {}

    void setMp3Dir();  // shows the folder dialog
    void folderDialogOk(const QString& folder);
    void folderDialogCancel();
    void refresh();
    void findMp3();
    void mp3Name();
    void setVolume();

private:
    Desktop& desktop_;
    MediaPlayer& player_;
    TrackList& tracks_;
    PlayerWindowModel& window_;
    Options& options_;
    OptionsState& state_;
};

}  // namespace melodrop
