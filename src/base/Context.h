#pragma once
// Everything the program's logic works on: the platform boundaries and the shared state, owned
// in one place by the program. Each feature (transport, skins, idle mode, the chat commands ...)
// is given only the parts it uses; tests reach the rest through here.
#include <QString>

#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/Boundaries.h"
#include "base/ChatScanner.h"
#include "base/ClientLink.h"
#include "base/Options.h"
#include "base/OptionsState.h"
#include "base/PlaybackTracker.h"
#include "base/PlayerWindowModel.h"
#include "base/TrackList.h"

namespace melodrop {

// The chat-client module and the two chat scanners, built on the client's window system when
// the program is put together (program/Assembly).
struct ChatParts {
    aol::Quartzline& aol;
    ChatScanner& chtMelodrop;  // feeds the chat commands
    ChatScanner& chat1;        // feeds automatic ignoring
};

struct Context {
    Context(const Boundaries& boundaries, const ChatParts& chat);

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
    ClientLink link;  // how the chat client is reached, as the user sees it
};

}  // namespace melodrop
