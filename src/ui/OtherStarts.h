#pragma once
// What a later start of melodrop asks of the running one (ui/InstanceChannel), and what a file
// given from outside does: the player window comes forward; a file plays from its folder.
#include <QString>

#include "ui/InstanceChannel.h"

namespace melodrop {
class Melodrop;
}

namespace melodrop::ui {

class QtDesktop;

// Brings the player window forward from wherever it waits: the tray (as the tray icon's click
// does), minimised, or behind other windows. For a later start and the media keys' Raise.
void bringPlayerForward(QtDesktop& desktop, Melodrop& melodrop);
// A file given from outside (the command line, "Open with", a later start): the window comes
// forward, the MP3 folder becomes the file's folder (as the folder dialog's OK makes it) and
// the file plays. A file that cannot be played is told in a message box.
void playFileFromOutside(QtDesktop& desktop, Melodrop& melodrop, const QString& path);
void answerOtherStart(QtDesktop& desktop, Melodrop& melodrop, const InstanceRequest& request);

}  // namespace melodrop::ui
