#pragma once
// Everything the program's logic works on: the platform boundaries and the shared state.
// Each feature (transport, skins, idle mode, the chat commands ...) holds a reference to it.
#include <QString>
#include <functional>

#include "aol/Quartzline.h"
#include "chat/Announcer.h"
#include "chat/ChatScanner.h"
#include "locations/FileLocations.h"
#include "options/OptionsState.h"
#include "player/Clock.h"
#include "player/Desktop.h"
#include "player/MediaPlayer.h"
#include "player/PlaybackTracker.h"
#include "player/PlayerWindowModel.h"
#include "player/SettingsStore.h"
#include "player/TrackList.h"
#include "web/download/WebTransfer.h"

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

inline constexpr const char* kAppTitle = "melodrop";

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
    TrackList tracks;
    PlayerWindowModel window;
    Announcer announcer;

    // Ends the program at once (the exit command and the exit hot area).
    std::function<void()> quit;
    // Tells the widgets that a check mark, caption or text field changed.
    std::function<void()> optionsChanged;
    void notifyOptionsChanged() {
        if (optionsChanged) optionsChanged();
    }

    // A file beside the program: the program's folder + separator + name.
    QString programFile(const QString& name) const;
    // Where the program writes its immune list, and the help file it shows (FileLocations.h).
    QString immuneFile() const { return files.immuneFile(); }
    QString commandsFile() const { return files.commandsFile(); }

    // Shorthands used everywhere.
    void save(const QString& key, const QString& value) { settings.WriteSetting(key, value); }
    void save(const QString& key, bool on) {
        settings.WriteSetting(key, on ? QStringLiteral("true") : QStringLiteral("false"));
    }
    MessageAnswer message(const QString& text, MessageIcon icon = MessageIcon::Information,
                          MessageButtons buttons = MessageButtons::Ok) {
        return desktop.messageBox(text, QString::fromLatin1(kAppTitle), icon, buttons);
    }
    QString ask(const QString& text) {
        return desktop.prompt(text, QString::fromLatin1(kAppTitle));
    }
};

}  // namespace melodrop
