#include "app/clients/BridgeChatClient.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "app/clients/ErrorOutput.h"
#include "bridge/client/TokenFile.h"

namespace melodrop::app {
namespace {

aol::RemoteOptions OptionsFor(const ClientChoice& choice) {
    aol::RemoteOptions options;
    if (choice.bridgePort != 0) options.port = choice.bridgePort;
    if (choice.bridgeTokenFile.isEmpty()) {
        options.tokenFile = aol::DefaultTokenFile(options.noTokenFileReason);
    } else {
        options.tokenFile =
            QFile::encodeName(QFileInfo(choice.bridgeTokenFile).absoluteFilePath()).toStdString();
    }
    options.log = [](const std::string& line) { sayOnErrorOutput(QString::fromStdString(line)); };
    return options;
}

}  // namespace

BridgeChatClient::BridgeChatClient(const ClientChoice& choice) : remote_(OptionsFor(choice)) {}

BridgeChatClient::~BridgeChatClient() {
    remote_.setConnectionListener(nullptr);
    remote_.setChangeListener(nullptr);
    remote_.setHeldChangeListener(nullptr);
    remote_.setStatusListener(nullptr);
}

void BridgeChatClient::watchLink(std::function<void(const aol::LinkStatus&)> listener) {
    remote_.watchStatus(std::move(listener));
}

void BridgeChatClient::notifyChanges(std::function<void()> listener) {
    remote_.setChangeListener(std::move(listener));
    remote_.setConnectionListener([this] { watchConnection(); });
    heldChange_.setSingleShot(true);
    heldChange_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heldChange_, &QTimer::timeout, [this] { drain(); });
    remote_.setHeldChangeListener([this](double seconds) {
        if (!heldChange_.isActive())
            heldChange_.start(static_cast<int>(std::ceil(seconds * 1000.0)));
    });
    // While the bridge is away nothing else asks for it: try again every second.
    reconnect_.setInterval(1000);
    reconnect_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&reconnect_, &QTimer::timeout, [this] {
        if (!remote_.connected()) drain();
    });
    reconnect_.start();
    drain();
    watchConnection();
}

void BridgeChatClient::drain() {
    remote_.Drain();
}

void BridgeChatClient::watchConnection() {
    // The old notifier may be the one whose signal is being handled: it goes later.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    if (remote_.pollHandle() < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(remote_.pollHandle(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
}

}  // namespace melodrop::app
