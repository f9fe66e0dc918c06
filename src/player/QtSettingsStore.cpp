#include "player/QtSettingsStore.h"

namespace melodrop {

namespace {
const QString kGroup = QStringLiteral("options");
}

QtSettingsStore::QtSettingsStore()
#ifdef Q_OS_WIN
    : settings_(std::make_unique<QSettings>(
          QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\melodrop"),
          QSettings::NativeFormat))
#else
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("melodrop"), QStringLiteral("melodrop")))
#endif
{
}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QString QtSettingsStore::ReadSetting(const QString& key) {
    const QVariant value = settings_->value(kGroup + QLatin1Char('/') + key);
    // Values are always written as text; anything else a hand-edited file holds reads as text
    // too, or as "" when it has no text form.
    return value.canConvert<QString>() ? value.toString() : QString();
}

void QtSettingsStore::WriteSetting(const QString& key, const QString& value) {
    settings_->setValue(kGroup + QLatin1Char('/') + key, value);
    settings_->sync();
}

}  // namespace melodrop
