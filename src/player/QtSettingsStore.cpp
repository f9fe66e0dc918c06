#include "player/QtSettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include "base/Desktop.h"
#include "files/FileSystem.h"
#include "player/SettingsIniText.h"

namespace melodrop {

namespace {

const QString kGroup = QStringLiteral("options");

std::string pathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

QtSettingsStore::QtSettingsStore() {
#ifdef Q_OS_WIN
    native_ = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\melodrop"),
        QSettings::NativeFormat);
#else
    // Where QSettings(IniFormat, UserScope, "melodrop", "melodrop") keeps its file.
    openIni(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/melodrop/melodrop.ini"));
#endif
}

QtSettingsStore::QtSettingsStore(const QString& iniPath) {
    openIni(iniPath);
}

QtSettingsStore::~QtSettingsStore() {
    *alive_ = false;
}

void QtSettingsStore::tellFailuresThrough(Desktop& desktop) {
    onWriteFailed = [&desktop, alive = std::weak_ptr<bool>(alive_)](const QString& reason) {
        QTimer::singleShot(0, QCoreApplication::instance(), [&desktop, alive, reason] {
            const auto stillThere = alive.lock();
            if (!stillThere || !*stillThere) return;
            desktop.messageBox(QStringLiteral("melodrop could not save its settings.\n") + reason,
                               QStringLiteral("melodrop"), MessageIcon::Warning,
                               MessageButtons::Ok);
        });
    };
}

void QtSettingsStore::openIni(const QString& path) {
    path_ = path;
    const files::ReadResult read = files::readWholeFile(pathBytes(path), kMaxFileBytes);
    if (read.error == std::errc::no_such_file_or_directory) return;
    if (!read.ok()) {
        unreadable_ = QString::fromStdString(files::describe(pathBytes(path), read.error));
        return;
    }
    text_ = QByteArray::fromStdString(read.bytes);
    // QSettings reads the text as earlier versions wrote it; it never writes here.
    const QSettings reader(path, QSettings::IniFormat);
    for (const QString& key : reader.allKeys()) {
        if (!key.startsWith(kGroup + QLatin1Char('/'))) continue;
        const QVariant value = reader.value(key);
        // Values are always written as text; anything else a hand-edited file holds reads as
        // text too, or as "" when it has no text form.
        values_.insert(key.mid(kGroup.size() + 1),
                       value.canConvert<QString>() ? value.toString() : QString());
    }
}

QString QtSettingsStore::ReadSetting(const QString& key) {
    if (native_) {
        const QVariant value = native_->value(kGroup + QLatin1Char('/') + key);
        return value.canConvert<QString>() ? value.toString() : QString();
    }
    return values_.value(key);
}

void QtSettingsStore::WriteSetting(const QString& key, const QString& value) {
    if (native_) {
        native_->setValue(kGroup + QLatin1Char('/') + key, value);
        native_->sync();
        if (native_->status() != QSettings::NoError)
            return failed(QStringLiteral("the settings could not be stored in the registry"));
        lastError_.clear();
        failureTold_ = false;
        return;
    }
    values_.insert(key, value);
    unsaved_.insert(key);
    if (!unreadable_.isEmpty()) return failed(unreadable_ + QStringLiteral(" (left as it is)"));
    // Values whose writes failed before go in with this one.
    QByteArray text = text_;
    for (const QString& k : std::as_const(unsaved_))
        text = withIniValue(text, kGroup, k, values_.value(k));
    const std::string target = pathBytes(path_);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (const std::error_code error = files::writeWholeFile(target, text.toStdString()))
        return failed(QString::fromStdString(files::describe(target, error)));
    text_ = text;
    unsaved_.clear();
    lastError_.clear();
    failureTold_ = false;
}

void QtSettingsStore::failed(const QString& reason) {
    lastError_ = reason;
    if (failureTold_) return;
    failureTold_ = true;
    if (onWriteFailed) onWriteFailed(reason);
}

}  // namespace melodrop
