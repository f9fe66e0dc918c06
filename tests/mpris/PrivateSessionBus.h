#pragma once
// A session bus of the test's own: a dbus-daemon started for the test and ended with it, so
// that nothing reaches (or depends on) the desktop's bus. Without dbus-daemon the test fails
// under CI and is skipped elsewhere (scripts/install-deps.sh installs it).
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include "fakes/NeedOrSkip.h"

namespace melodrop::testing {

class PrivateSessionBus {
public:
    PrivateSessionBus() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            error_ = QStringLiteral("dbus-daemon is not installed");
            return;
        }
        process_.setProgram(daemon);
        process_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--print-address=1")});
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        // The daemon prints its address once it listens.
        while (process_.waitForReadyRead(10000)) {
            if (process_.canReadLine()) {
                address_ = QString::fromUtf8(process_.readLine()).trimmed();
                break;
            }
        }
        if (address_.isEmpty())
            error_ = QStringLiteral("dbus-daemon did not start: ") +
                     QString::fromLocal8Bit(process_.readAllStandardError());
    }
    ~PrivateSessionBus() {
        for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool started() const { return !address_.isEmpty(); }
    QString error() const { return error_; }
    QString address() const { return address_; }

    // A connection of its own to the bus (the program's, a listener's).
    QDBusConnection connect(const QString& name) {
        connections_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess process_;
    QString address_;
    QString error_;
    QStringList connections_;
};

}  // namespace melodrop::testing

// Ends the test unless the bus runs: a failure under CI, a skip elsewhere.
#define REQUIRE_PRIVATE_BUS(bus) MELODROP_NEED((bus).started(), (bus).error().toStdString())
