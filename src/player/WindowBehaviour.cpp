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

WindowBehaviour::WindowBehaviour(Desktop& desktop, PlayerWindowModel& window, TrackList& tracks,
                                 Options& options, Announcer& announcer, aol::Quartzline& aol,
                                 Clock& clock, std::function<void()> quit)
    : desktop_(desktop),
      window_(window),
      tracks_(tracks),
      options_(options),
      state_(options.state()),
      announcer_(announcer),
      aol_(aol),
      quit_(std::move(quit)),
      rollUpTimer_(clock.createTimer()),
      rollDownTimer_(clock.createTimer()) {
    rollUpTimer_->setInterval(1);
    rollDownTimer_->setInterval(1);
    rollUpTimer_->onTick = [this] { rollUpTick(); };
    rollDownTimer_->onTick = [this] { rollDownTick(); };
}

WindowBehaviour::~WindowBehaviour() = default;

void WindowBehaviour::setRolledUp(bool rolledUp) {
    window_.setHeightTwips(rolledUp ? kRolledUpTwips : kRolledDownTwips);
    state_.rollupCaption = rolledUp ? kRolldownCaption : kRollupCaption;
    window_.setTitleTooltip(rolledUp ? kTipRolledUp : kTipRolledDownAtStart);
}

void WindowBehaviour::rollToggle() {
    if (state_.rollupCaption == kRollupCaption) {
        rollUpTimer_->setEnabled(true);
        options_.set(setting::rollup, true);
    } else {
        rollDownTimer_->setEnabled(true);
        options_.set(setting::rollup, false);
    }
}

void WindowBehaviour::rollUpTick() {
    if (desktop_.isPlayerMinimized()) return rollFailed(true);
    const int height = window_.heightTwips();
    if (height != kRolledUpTwips) {
        // Never step past the resting height, whatever height the window had.
        window_.setHeightTwips(std::max(kRolledUpTwips, height - kRollStepTwips));
        return;
    }
    rollUpTimer_->setEnabled(false);
    state_.rollupCaption = kRolldownCaption;
    window_.setTitleTooltip(kTipRolledUp);
}

void WindowBehaviour::rollDownTick() {
    if (desktop_.isPlayerMinimized()) return rollFailed(false);
    const int height = window_.heightTwips();
    if (height != kRolledDownTwips) {
        window_.setHeightTwips(std::min(kRolledDownTwips, height + kRollStepTwips));
        return;
    }
    rollDownTimer_->setEnabled(false);
    state_.rollupCaption = kRollupCaption;
    window_.setTitleTooltip(kTipRolledDownAfterRoll);
}

void WindowBehaviour::rollFailed(bool rollingUp) {
    Timer& timer = rollingUp ? *rollUpTimer_ : *rollDownTimer_;
    // Stop first: the message box pumps events and the timer must not tick again meanwhile.
    timer.setEnabled(false);
    desktop_.message(rollingUp ? QStringLiteral("an error occured while rolling up form.")
                               : QStringLiteral("an error occured while rolling down form."),
                     MessageIcon::Critical);
    window_.setHeightTwips(kRolledDownTwips);
    window_.setTitleTooltip(kTipRolledUp);
}

bool WindowBehaviour::exit() {
    desktop_.minimizePlayer();
    const MessageAnswer answer = desktop_.message(QStringLiteral("are you sure you want to exit?"),
                                                  MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        desktop_.restorePlayer();
        return false;
    }
    if (state_.advertise) {
        announcer_.send(unloadedBanner());
        aol_.TimeOut(0.8);
        announcer_.send(userLine(state_.txtHandle, tracks_.count(), announcer_.downloadPage()));
    }
    desktop_.removeTrayIcon();
    if (quit_) quit_();
    return true;
}

void WindowBehaviour::minimizeToTray() {
    desktop_.addTrayIcon(kTrayTip);
    desktop_.hidePlayer();
}

void WindowBehaviour::trayMouse(double xTwips) {
    // At the usual resolution only the left-button press (513 x 15) has 15 in its low byte.
    const long long x = std::llround(xTwips);
    if ((x & 0xFF) != 15) return;
    trayLeftPressed();
}

void WindowBehaviour::trayLeftPressed() {
    desktop_.showPlayer();
    desktop_.removeTrayIcon();
}

QString WindowBehaviour::aboutText() {
    return QStringLiteral("version: beta 1 [build %1.%2.%3]\rprogrammed by: zeph \r")
        .arg(MELODROP_VERSION_MAJOR)
        .arg(MELODROP_VERSION_MINOR)
        .arg(MELODROP_VERSION_PATCH);
}

void WindowBehaviour::about() {
    desktop_.minimizePlayer();
    desktop_.message(aboutText(), MessageIcon::Information);
    desktop_.restorePlayer();
}

}  // namespace melodrop
