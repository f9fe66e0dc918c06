#include "mpris/MprisService.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "mpris/MprisAdaptors.h"

namespace melodrop::mpris {

MprisService::MprisService(Melodrop& program, QObject* parent) : QObject(parent), player_(program) {
    new RootAdaptor(this, player_);
    new PlayerAdaptor(this, player_);
    connect(&player_, &MprisPlayer::propertiesChanged, this, &MprisService::sendPropertiesChanged);
}

MprisService::~MprisService() {
    if (!published_) return;
    bus_.unregisterService(kServiceName);
    bus_.unregisterObject(kObjectPath);
}

bool MprisService::publish(const QDBusConnection& bus) {
    if (published_ || !bus.isConnected()) return false;
    QDBusConnection connection = bus;
    if (!connection.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    if (!connection.registerService(kServiceName)) {
        connection.unregisterObject(kObjectPath);
        return false;
    }
    bus_ = connection;
    published_ = true;
    return true;
}

void MprisService::sendPropertiesChanged(const QVariantMap& changed) {
    if (!published_) return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus_.send(signal);
}

}  // namespace melodrop::mpris
