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

QString BridgeChatClient::defaultTokenFile() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime).filePath(QStringLiteral("melodrop-bridge.token"));
}

}  // namespace melodrop::app
