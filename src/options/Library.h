#pragma once
// The MP3 folder and library items of the options menu: choosing the folder, refreshing it,
// finding a track by name, showing the selected name and setting the volume by number.
#include "player/Context.h"

namespace melodrop {

// Points the hidden folder list at a folder; the track list follows it and reads the folder.
// False (and nothing changes) when the folder cannot be listed.
bool setFolderRelay(Context& ctx, const QString& folder);

class Library {
public:
    explicit Library(Context& ctx) : ctx_(ctx) {}

    void setMp3Dir();  // shows the folder dialog
    void folderDialogOk(const QString& folder);
    void folderDialogCancel();
    void refresh();
    void findMp3();
    void mp3Name();
    void setVolume();

private:
    Context& ctx_;
};

}  // namespace melodrop
