#include "chat/ChatCommands.h"

#include "chat/AutoIgnore.h"
#include "chat/CommandDispatcher.h"
#include "chat/CommandTable.h"
#include "chat/IgnoreCommands.h"
#include "chat/PlaybackCommands.h"
#include "chat/SettingsCommands.h"

namespace melodrop {

ChatCommands::ChatCommands(const Uses& u)
    : options_(u.options),
      desktop_(u.desktop),
      files_(u.files),
      commandScanner_(u.commandScanner),
      playback_(std::make_unique<PlaybackCommands>(u.transport)),
      ignore_(std::make_unique<IgnoreCommands>(u.options.state(), u.announcer, u.aol, u.desktop,
                                               u.autoIgnoreScanner, u.files)),
      settings_(std::make_unique<SettingsCommands>(u.options, u.announcer, u.aol, u.desktop,
                                                   u.files, u.idle, u.quit)),
      autoIgnore_(std::make_unique<AutoIgnore>(u.autoIgnoreScanner, u.options.state(), u.announcer,
                                               u.aol)) {
    aol::Quartzline& aol = u.aol;
    const OptionsState& state = u.options.state();
    dispatcher_ = std::make_unique<CommandDispatcher>(
        buildCommandTable(*playback_, *ignore_, *settings_),
        [&aol] { return QString::fromStdString(aol.GetUser()); },
        [&state] { return state.txtTrigger; });
    // A command with all its steps is one operation on the client, bounded as a whole.
    connection_ = QObject::connect(&commandScanner_, &ChatScanner::ChatLine,
                                   [this, &aol](const QString& name, const QString& text) {
                                       const aol::OperationBudget command = aol.Operation();
                                       dispatcher_->handleLine(name, text);
                                   });
}

ChatCommands::~ChatCommands() {
    QObject::disconnect(connection_);
}

void ChatCommands::toggleChatCommands() {
    const bool on = !options_.state().chatcommands;
    options_.set(setting::chatCommands, on);
    if (on)
        commandScanner_.ScanOn();
    else
        commandScanner_.ScanOff();
}

void ChatCommands::viewCommands() {
    desktop_.openWithShell(files_.commandsFile());
}

}  // namespace melodrop
