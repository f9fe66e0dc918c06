#include "player/WindowBehaviour.h"

#include <algorithm>
#include <cmath>

namespace melodrop {

namespace {
constexpr int kRollStepTwips = 25;
const QString kTipRolledUp = QStringLiteral("double click to rolldown");
// Rolling down ends with this tooltip, with its leading blank; start-up uses the plain one.
const QString kTipRolledDownAfterRoll = QStringLiteral(" double click to rollup");
const QString kTipRolledDownAtStart = QStringLiteral("double click to rollup");
}  // namespace

WindowBehaviour::WindowBehaviour(Context& ctx)
    : ctx_(ctx), rollUpTimer_(ctx.clock.createTimer()), rollDownTimer_(ctx.clock.createTimer()) {
    rollUpTimer_->setInterval(1);
    rollDownTimer_->setInterval(1);
    rollUpTimer_->onTick = [this] { rollUpTick(); };
    rollDownTimer_->onTick = [this] { rollDownTick(); };
}

WindowBehaviour::~WindowBehaviour() = default;

void WindowBehaviour::setRolledUp(bool rolledUp) {
    ctx_.window.setHeightTwips(rolledUp ? kRolledUpTwips : kRolledDownTwips);
    ctx_.state.rollupCaption = rolledUp ? kRolldownCaption : kRollupCaption;
    ctx_.window.setTitleTooltip(rolledUp ? kTipRolledUp : kTipRolledDownAtStart);
    ctx_.notifyOptionsChanged();
}

void WindowBehaviour::rollToggle() {
    if (ctx_.state.rollupCaption == kRollupCaption) {
        rollUpTimer_->setEnabled(true);
        ctx_.save(QStringLiteral("rollup"), true);
    } else {
        rollDownTimer_->setEnabled(true);
        ctx_.save(QStringLiteral("rollup"), false);
    }
}

void WindowBehaviour::rollUpTick() {
    if (ctx_.desktop.isPlayerMinimized()) return rollFailed(true);
    const int height = ctx_.window.heightTwips();
    if (height != kRolledUpTwips) {
        // Never step past the resting height, whatever height the window had.
        ctx_.window.setHeightTwips(std::max(kRolledUpTwips, height - kRollStepTwips));
        return;
    }
    rollUpTimer_->setEnabled(false);
    ctx_.state.rollupCaption = kRolldownCaption;
    ctx_.window.setTitleTooltip(kTipRolledUp);
    ctx_.notifyOptionsChanged();
}

void WindowBehaviour::rollDownTick() {
    if (ctx_.desktop.isPlayerMinimized()) return rollFailed(false);
    const int height = ctx_.window.heightTwips();
    if (height != kRolledDownTwips) {
        ctx_.window.setHeightTwips(std::min(kRolledDownTwips, height + kRollStepTwips));
        return;
    }
    rollDownTimer_->setEnabled(false);
    ctx_.state.rollupCaption = kRollupCaption;
    ctx_.window.setTitleTooltip(kTipRolledDownAfterRoll);
    ctx_.notifyOptionsChanged();
}

void WindowBehaviour::rollFailed(bool rollingUp) {
    Timer& timer = rollingUp ? *rollUpTimer_ : *rollDownTimer_;
    // Stop first: the message box pumps events and the timer must not tick again meanwhile.
    timer.setEnabled(false);
    ctx_.message(rollingUp ? QStringLiteral("an error occured while rolling up form.")
                           : QStringLiteral("an error occured while rolling down form."),
                 MessageIcon::Critical);
    ctx_.window.setHeightTwips(kRolledDownTwips);
    ctx_.window.setTitleTooltip(kTipRolledUp);
}

bool WindowBehaviour::exit() {
    ctx_.desktop.minimizePlayer();
    const MessageAnswer answer = ctx_.message(QStringLiteral("are you sure you want to exit?"),
                                              MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        ctx_.desktop.restorePlayer();
        return false;
    }
    if (ctx_.state.advertise) {
        ctx_.announcer.send(unloadedBanner());
        ctx_.aol.TimeOut(0.8);
        ctx_.announcer.send(
            userLine(ctx_.state.txtHandle, ctx_.tracks.count(), ctx_.announcer.downloadPage()));
    }
    ctx_.desktop.removeTrayIcon();
    if (ctx_.quit) ctx_.quit();
    return true;
}

void WindowBehaviour::minimizeToTray() {
    ctx_.desktop.addTrayIcon(kTrayTip);
    ctx_.desktop.hidePlayer();
}

void WindowBehaviour::trayMouse(double xTwips) {
    // At the usual resolution only the left-button press (513 x 15) has 15 in its low byte.
    const long long x = std::llround(xTwips);
    if ((x & 0xFF) != 15) return;
    trayLeftPressed();
}

void WindowBehaviour::trayLeftPressed() {
    ctx_.desktop.showPlayer();
    ctx_.desktop.removeTrayIcon();
}

QString WindowBehaviour::aboutText() {
    return QStringLiteral("version: beta 1 [build %1.%2.%3]\rprogrammed by: zeph \r")
        .arg(MELODROP_VERSION_MAJOR)
        .arg(MELODROP_VERSION_MINOR)
        .arg(MELODROP_VERSION_PATCH);
}

void WindowBehaviour::about() {
    ctx_.desktop.minimizePlayer();
    ctx_.message(aboutText(), MessageIcon::Information);
    ctx_.desktop.restorePlayer();
}

}  // namespace melodrop
