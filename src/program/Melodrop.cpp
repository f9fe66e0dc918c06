#include "program/Melodrop.h"

#include "chat/ChatCommands.h"
#include "options/IdleMode.h"
#include "options/Library.h"
#include "options/OptionToggles.h"
#include "options/Skins.h"
#include "player/Transport.h"
#include "player/WindowBehaviour.h"
#include "web/UpdateCheck.h"

namespace melodrop {

Melodrop::Melodrop(const Boundaries& boundaries, const ChatParts& chat)
    : ctx_(std::make_unique<Context>(boundaries, chat)), menuActions_(bindMenu()) {
    Context& c = *ctx_;
    auto quit = [this] { end(); };
    transport_ = std::make_unique<Transport>(TransportUses{.player = c.player,
                                                           .tracks = c.tracks,
                                                           .window = c.window,
                                                           .options = c.options,
                                                           .announcer = c.announcer,
                                                           .clock = c.clock});
    windowBehaviour_ = std::make_unique<WindowBehaviour>(c.desktop, c.window, c.tracks, c.options,
                                                         c.announcer, c.aol, c.clock, quit);
    toggles_ = std::make_unique<OptionToggles>(c.options, c.announcer, c.desktop);
    idle_ = std::make_unique<IdleMode>(c.state, c.announcer, c.desktop, c.clock);
    skins_ = std::make_unique<Skins>(c.desktop, c.window, c.options, c.announcer, c.aol, c.files);
    library_ = std::make_unique<Library>(c.desktop, c.player, c.tracks, c.window, c.options);
    commands_ = std::make_unique<ChatCommands>(ChatCommands::Uses{
        .transport = *transport_,
        .options = c.options,
        .announcer = c.announcer,
        .desktop = c.desktop,
        .aol = c.aol,
        .files = c.files,
        .commandScanner = c.chtMelodrop,
        .autoIgnoreScanner = c.chat1,
        .idle = *idle_,
        .quit = quit,
    });
    updates_ = std::make_unique<UpdateCheck>(c.desktop, c.web, c.clock, c.files, c.serverBase);

    connect(&ctx_->player, &MediaPlayer::TrackEnded, this, [this](int) {
        if (!ended_) transport_->trackEnded();
    });
}

Melodrop::~Melodrop() = default;

const QString& Melodrop::lblMP3Name() const {
    return transport_->lblMP3Name();
}

void Melodrop::end() {
    if (ended_) return;
    ended_ = true;
    // Nothing may run after the end: no more chat lines, then the process goes.
    ctx_->chtMelodrop.ScanOff();
    ctx_->chat1.ScanOff();
    idle_->stopTimers();
    ctx_->desktop.quit();
}

void Melodrop::play() {
    if (!ended_) transport_->play();
}
void Melodrop::pause() {
    if (!ended_) transport_->pause();
}
void Melodrop::playOrPause() {
    if (playback().status() == PlaybackTracker::Status::Playing)
        pause();
    else
        play();
}
void Melodrop::stop() {
    if (!ended_) transport_->stop();
}
void Melodrop::next() {
    if (!ended_) transport_->next();
}
void Melodrop::previous() {
    if (!ended_) transport_->previous();
}
void Melodrop::fastForward() {
    if (!ended_) transport_->fastForward();
}
void Melodrop::rewind() {
    if (!ended_) transport_->rewind();
}
void Melodrop::seekTo(double seconds) {
    if (!ended_) transport_->seekTo(seconds);
}
void Melodrop::playListed(int index) {
    if (!ended_) transport_->playListed(index);
}
void Melodrop::sliderMoved(int position) {
    if (!ended_) transport_->sliderMoved(position);
}
void Melodrop::rollToggle() {
    if (!ended_) windowBehaviour_->rollToggle();
}
void Melodrop::exit() {
    if (!ended_) windowBehaviour_->exit();
}
void Melodrop::trayMouse(double xTwips) {
    if (!ended_) windowBehaviour_->trayMouse(xTwips);
}
void Melodrop::trayLeftPressed() {
    if (!ended_) windowBehaviour_->trayLeftPressed();
}
void Melodrop::folderDialogOk(const QString& folder) {
    if (!ended_) library_->folderDialogOk(folder);
}
void Melodrop::folderDialogCancel() {
    if (!ended_) library_->folderDialogCancel();
}

OptionsMenuActions Melodrop::bindMenu() {
    // The features exist by the time an item is chosen.
    return {
        .alwaysontop = [this] { toggles_->toggleAlwaysOnTop(); },
        .play = [this] { transport_->menuPlay(); },
        .stop = [this] { transport_->menuStop(); },
        .pause = [this] { transport_->menuPause(); },
        .unpause = [this] { transport_->menuUnpause(); },
        .findmp3 = [this] { library_->findMp3(); },
        .mp3name = [this] { library_->mp3Name(); },
        .continuous = [this] { toggles_->toggleContinuous(); },
        .random = [this] { toggles_->toggleRandom(); },
        .setmp3dir = [this] { library_->setMp3Dir(); },
        .refresh = [this] { library_->refresh(); },
        .setvolume = [this] { library_->setVolume(); },
        .advertise = [this] { toggles_->toggleAdvertise(); },
        .idle = [this] { idle_->menuIdle(); },
        .idlelinker = [this] { idle_->menuIdleLinker(); },
        .chatcommands = [this] { commands_->toggleChatCommands(); },
        .viewcommands = [this] { commands_->viewCommands(); },
        .changeskin = [this] { skins_->changeSkin(); },
        .skinfetch = [this] { updates_->startSkinfetch(); },
        .checkforupdates = [this] { updates_->start(); },
        .about = [this] { windowBehaviour_->about(); },
        .rollup = [this] { windowBehaviour_->rollToggle(); },
        .minimizetosystray = [this] { windowBehaviour_->minimizeToTray(); },
    };
}

bool Melodrop::menuTriggered(const QString& name) {
    if (ended_) return false;
    const MenuItem menu = optionsMenu();
    const MenuItem* item = findMenuItem(menu, name);
    if (!item || item->kind != MenuItemKind::Action || !item->action) return false;
    item->action();
    return true;
}

}  // namespace melodrop
