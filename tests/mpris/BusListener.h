#pragma once
// Listens on a bus connection to what the MPRIS player signals: PropertiesChanged and Seeked.
#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace melodrop::testing {

class BusListener : public QObject {
    Q_OBJECT
public:
    BusListener(QDBusConnection bus, const QString& service, const QString& path) {
        bus.connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                    QStringLiteral("PropertiesChanged"), this,
                    SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
        bus.connect(service, path, QStringLiteral("org.mpris.MediaPlayer2.Player"),
                    QStringLiteral("Seeked"), this, SLOT(onSeeked(qlonglong)));
    }

    QList<QVariantMap> changes;  // the changed properties of each PropertiesChanged
    QStringList interfaces;      // the interface each was about
    QList<qlonglong> seeks;

signals:
    void received();

private slots:
    void onPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList&) {
        interfaces << interface;
        changes << changed;
        emit received();
    }
    void onSeeked(qlonglong position) {
        seeks << position;
        emit received();
    }
};

}  // namespace melodrop::testing
