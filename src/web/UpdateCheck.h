#pragma once
// The options menu's "- check for updates" and "- skinfetch" items: compare the running version
// with the release file on the update server, offer the update archive and store it in a folder
// the user picks; start the skinfetch program that lies beside melodrop.
#include <QString>
#include <memory>

#include "base/Clock.h"
#include "base/Desktop.h"
#include "locations/FileLocations.h"
#include "net/WebTransfer.h"

namespace melodrop {

class UpdateCheck {
public:
    // serverBase is scheme and host ("http://host:port"); the paths on it are fixed. skinfetch
    // is started from the program's folder; the save dialog opens where the program writes.
    UpdateCheck(Desktop& desktop, WebTransfer& transfer, Clock& clock, const FileLocations& files,
                QString serverBase = defaultServerBase(),
                QString runningVersion = runningVersionText());

    // `checkforupdates`: shows the notice window and arms Timer2; the check itself runs on its
    // first tick, so that the notice is drawn before the blocking transfer starts.
    void start();
    // `skinfetch`: starts the skinfetch program in melodrop's folder; a failure goes unreported.
    void startSkinfetch();

    // The one-shot 100 ms timer that runs the check.
    const Timer& timer2() const { return *timer2_; }

    // "major.minor.revision" of this build.
    static QString runningVersionText();
    static QString defaultServerBase();

private:
    void check();
    void askAndDownload();
    // Every way out of the check leaves the notice hidden and the player window restored.
    void stopSilently();

    Desktop& desktop_;
    WebTransfer& transfer_;
    QString programFolder_;
    QString saveFolder_;
    QString serverBase_;
    QString runningVersion_;
    std::unique_ptr<Timer> timer2_;
};

}  // namespace melodrop
