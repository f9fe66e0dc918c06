#include "chat/ChatCommands.h"

#include "chat/AutoIgnore.h"
#include "chat/CommandDispatcher.h"
#include "chat/CommandTable.h"
#include "chat/IgnoreCommands.h"
#include "chat/PlaybackCommands.h"
#include "chat/SettingsCommands.h"

namespace melodrop {

ChatCommands::ChatCommands(Context& ctx, IdleMode& idle)
    : ctx_(ctx),
      idle_(idle),
      playback_(std::make_unique<PlaybackCommands>(ctx)),
      ignore_(std::make_unique<IgnoreCommands>(ctx)),
      settings_(std::make_unique<SettingsCommands>(ctx, idle)),
      autoIgnore_(std::make_unique<AutoIgnore>(ctx)) {
    dispatcher_ = std::make_unique<CommandDispatcher>(
        buildCommandTable(*playback_, *ignore_, *settings_),
        [&ctx] { return QString::fromStdString(ctx.aol.GetUser()); },
        [&ctx] { return ctx.state.txtTrigger; });
    connection_ = QObject::connect(
        &ctx.chtMelodrop, &ChatScanner::ChatLine,
        [this](const QString& name, const QString& text) { dispatcher_->handleLine(name, text); });
}

ChatCommands::~ChatCommands() {
    QObject::disconnect(connection_);
}

void ChatCommands::toggleChatCommands() {
    const bool on = !ctx_.state.chatcommands;
    ctx_.state.chatcommands = on;
    if (on)
        ctx_.chtMelodrop.ScanOn();
    else
        ctx_.chtMelodrop.ScanOff();
    ctx_.save(QStringLiteral("chatcommands"), on);
    ctx_.notifyOptionsChanged();
}

void ChatCommands::viewCommands() {
    ctx_.desktop.openWithShell(ctx_.commandsFile());
}

}  // namespace melodrop
