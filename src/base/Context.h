#pragma once
// Everything the program's logic works on: the platform boundaries and the shared state, owned
// in one place by the program. Each feature (transport, skins, idle mode, the chat commands ...)
// is given only the parts it uses; tests reach the rest through here.
#include <QString>
#include <functional>

#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/ChatScanner.h"
#include "base/Clock.h"
#include "base/Desktop.h"
#include "base/MediaPlayer.h"
#include "base/Options.h"
#include "base/OptionsState.h"
#include "base/PlaybackTracker.h"
#include "base/PlayerWindowModel.h"
#include "base/SettingsStore.h"
#include "base/TrackList.h"
#include "locations/FileLocations.h"
#include "net/WebTransfer.h"

namespace melodrop {

// The real or fake implementations the program runs on.
struct Platform {
    SettingsStore& settings;
    MediaPlayer& player;
    ChatScanner& chtMelodrop;  // feeds the chat commands
    ChatScanner& chat1;        // feeds automatic ignoring
    Desktop& desktop;
    Clock& clock;
    aol::Quartzline& aol;
    WebTransfer& web;
    FileLocations files;  // skins, commands.txt, immune.txt (a folder: all beside the program)
    QString serverBase;   // update and skin server, scheme and host
};

struct Context {
    explicit Context(const Platform& p);

    SettingsStore& settings;
    // The platform's player as the program drives it: every call passes through the tracker,
    // which keeps what plays for listeners such as the media keys.
    PlaybackTracker playback;
    MediaPlayer& player;
    ChatScanner& chtMelodrop;
    ChatScanner& chat1;
    Desktop& desktop;
    Clock& clock;
    aol::Quartzline& aol;
    WebTransfer& web;
    const FileLocations files;
    const QString serverBase;

    OptionsState state;
    Options options{state, settings};
    TrackList tracks;
    PlayerWindowModel window;
    Announcer announcer;

    // Ends the program at once (the exit command and the exit hot area).
    std::function<void()> quit;
};

}  // namespace melodrop
