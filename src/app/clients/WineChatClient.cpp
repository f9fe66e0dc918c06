#include "app/clients/WineChatClient.h"

#include "app/clients/ErrorOutput.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "base/Desktop.h"

namespace melodrop::app {
namespace {

WineBridge::Setup setupFor(const ClientChoice& choice, const QStringList& bridgePlaces,
                           const QProcessEnvironment& environment) {
    WineBridge::Setup setup;
    setup.bridgePlaces = bridgePlaces;
    setup.environment = environment;
    setup.port = choice.bridgePort;
    setup.tokenFile = choice.bridgeTokenFile;
    return setup;
}

const QString kGoesOn = QStringLiteral("melodrop goes on without the chat client.");

}  // namespace

WineChatClient::WineChatClient(const ClientChoice& choice, const QStringList& bridgePlaces,
                               const QProcessEnvironment& environment)
    : bridge_(setupFor(choice, bridgePlaces, environment)) {
    bridge_.onOutput = [](const QString& line) {
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
    };
    bridge_.onEnded = [this](const QString& why) {
        sayOnErrorOutput(why);
        tellUser(why + QStringLiteral("\n") + kGoesOn +
                 QStringLiteral(" Start melodrop again to start the bridge again."));
    };
    ClientChoice linkChoice = choice;
    linkChoice.kind = ClientKind::Bridge;
    if (bridge_.start()) {
        sayOnErrorOutput(
            QStringLiteral("started melodrop-bridge.exe (process %1) with %2 in the Wine prefix "
                           "%3, on 127.0.0.1:%4")
                .arg(bridge_.processId())
                .arg(bridge_.wine(), bridge_.prefix())
                .arg(bridge_.port()));
        linkChoice.bridgePort = bridge_.port();
        linkChoice.bridgeTokenFile = bridge_.tokenFile();
    } else {
        sayOnErrorOutput(QStringLiteral("cannot start melodrop-bridge.exe: ") + bridge_.error());
        tellUser(QStringLiteral("melodrop cannot start melodrop-bridge.exe, which reaches the chat "
                                "client under Wine: ") +
                 bridge_.error() + QStringLiteral("\n") + kGoesOn);
    }
    // Without a bridge of its own the link waits for one started by hand, as --client bridge
    // does.
    link_ = std::make_unique<BridgeChatClient>(linkChoice);
}

WineChatClient::~WineChatClient() {
    *alive_ = false;
    link_.reset();
    const bool ran = bridge_.running();
    bridge_.stop();
    if (ran) sayOnErrorOutput(QStringLiteral("melodrop-bridge ended with melodrop"));
}

void WineChatClient::notifyChanges(std::function<void()> listener) {
    link_->notifyChanges(std::move(listener));
}

void WineChatClient::tellUserThrough(Desktop& desktop) {
    desktop_ = &desktop;
}

void WineChatClient::programLaunched(const QRect& playerFrame) {
    (void)playerFrame;
    launched_ = true;
    showUntold();
}

void WineChatClient::tellUser(const QString& problem) {
    untold_ << problem;
    showUntold();
}

void WineChatClient::showUntold() {
    if (!launched_ || !desktop_ || untold_.isEmpty()) return;
    // From the event loop: not inside the handler that found the problem, which may run
    // inside a wait of the program.
    QTimer::singleShot(0, QCoreApplication::instance(), [this, alive = std::weak_ptr(alive_)] {
        const auto stillThere = alive.lock();
        if (!stillThere || !*stillThere) return;
        const QStringList problems = std::exchange(untold_, {});
        for (const QString& problem : problems) desktop_->message(problem, MessageIcon::Warning);
    });
}

}  // namespace melodrop::app
