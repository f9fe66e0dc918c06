#pragma once
// The program's logic as one object: the hidden options form and the player window's behaviour,
// without widgets. The widgets show its state (state(), tracks(), window(), optionsMenu()) and
// forward the user's actions to the methods below; the chat scanners, the media player and the
// timers drive the rest. Only program/Assembly makes one, on the boundaries it was given.
#include <QObject>
#include <memory>

#include "base/Context.h"
#include "options/OptionsMenu.h"

namespace melodrop {

class Transport;
class WindowBehaviour;
class OptionToggles;
class IdleMode;
class Skins;
class Library;
class ChatCommands;
class UpdateCheck;

class Assembly;

class Melodrop : public QObject {
    Q_OBJECT
public:
    ~Melodrop() override;

    // Start-up: the welcome box, the splash, then the player window's load and show.
    void launch();
    // The player window's load: settings applied, folder listed, skin, scanners, announcements.
    void load();

    // What the widgets show.
    Context& context() { return *ctx_; }
    const OptionsState& state() const { return ctx_->state; }
    // The current track's name (`lblMP3Name`), "mp3 name" before any was opened.
    const QString& lblMP3Name() const;
    TrackList& tracks() { return ctx_->tracks; }
    PlayerWindowModel& window() { return ctx_->window; }
    MenuItem optionsMenu() const {
        return buildOptionsMenu(ctx_->state, menuActions_, ctx_->link.summary());
    }
    // What plays (status, file, position, length), as the media keys report it.
    const PlaybackTracker& playback() const { return ctx_->playback; }

    // The player window's hot areas, list and slider.
    void play();
    void pause();
    // Pauses what plays, plays otherwise (Space in the window, the media keys' play/pause).
    void playOrPause();
    void stop();
    void next();
    void previous();
    void fastForward();
    void rewind();
    // Moves the track to a position, as fast forward and rewind do by 5 seconds (the media keys).
    void seekTo(double seconds);
    void playListed(int index);  // double-click on a file of the list
    void sliderMoved(int position);
    void rollToggle();  // double-click on the title band, or the `rollup` item
    void exit();        // the exit hot area: asks first

    // Chooses an item of the options menu by its name ("advertise", "findmp3" ...), as a click
    // on it does; false when no item of that name acts (a separator, a submenu, a line that only
    // shows, or no such item).
    bool menuTriggered(const QString& name);

    // The tray icon: the mouse message as a horizontal coordinate in twips, and the direct form
    // for platforms that report a left press as such.
    void trayMouse(double xTwips);
    void trayLeftPressed();

    // The MP3 folder dialog's buttons and its drive list.
    void folderDialogOk(const QString& folder);
    void folderDialogCancel();

    // True once the program has ended (exit); nothing runs after that.
    bool ended() const { return ended_; }

private:
    friend class Assembly;
    Melodrop(const Boundaries& boundaries, const ChatParts& chat);

    // What each item of the options menu does.
    OptionsMenuActions bindMenu();
    void end();

    std::unique_ptr<Context> ctx_;
    std::unique_ptr<Transport> transport_;
    std::unique_ptr<WindowBehaviour> windowBehaviour_;
    std::unique_ptr<OptionToggles> toggles_;
    std::unique_ptr<IdleMode> idle_;
    std::unique_ptr<Skins> skins_;
    std::unique_ptr<Library> library_;
    std::unique_ptr<ChatCommands> commands_;
    std::unique_ptr<UpdateCheck> updates_;
    OptionsMenuActions menuActions_;
    bool ended_ = false;
};

}  // namespace melodrop
