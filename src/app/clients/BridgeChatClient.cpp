#include "app/clients/BridgeChatClient.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cstdio>

namespace melodrop::app {
namespace {

aol::RemoteOptions OptionsFor(const ClientChoice& choice) {
    aol::RemoteOptions options;
    if (choice.bridgePort != 0) options.port = choice.bridgePort;
    const QString token = choice.bridgeTokenFile.isEmpty() ? BridgeChatClient::defaultTokenFile()
                                                           : choice.bridgeTokenFile;
    options.tokenFile = QFile::encodeName(token).toStdString();
    options.log = [](const std::string& line) {
        std::fprintf(stderr, "melodrop: %s\n", line.c_str());
        std::fflush(stderr);
    };
    return options;
}

}  // namespace

BridgeChatClient::BridgeChatClient(const ClientChoice& choice) : remote_(OptionsFor(choice)) {}

BridgeChatClient::~BridgeChatClient() {
    remote_.setConnectionListener(nullptr);
    remote_.setChangeListener(nullptr);
}

void BridgeChatClient::notifyChanges(std::function<void()> listener) {
    remote_.setChangeListener(std::move(listener));
    remote_.setConnectionListener([this] { watchConnection(); });
    // While the bridge is away nothing else asks for it: try again every second.
    reconnect_.setInterval(1000);
    reconnect_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&reconnect_, &QTimer::timeout, [this] {
        if (!remote_.connected()) remote_.Drain();
    });
    reconnect_.start();
    remote_.Drain();
    watchConnection();
}

void BridgeChatClient::watchConnection() {
    // The old notifier may be the one whose signal is being handled: it goes later.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    if (remote_.pollHandle() < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(remote_.pollHandle(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { remote_.Drain(); });
}

QString BridgeChatClient::defaultTokenFile() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime).filePath(QStringLiteral("melodrop-bridge.token"));
}

}  // namespace melodrop::app
