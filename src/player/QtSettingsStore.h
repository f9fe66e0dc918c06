#pragma once
#include <QSettings>
#include <memory>

#include "player/SettingsStore.h"

namespace melodrop {

// QSettings under organisation/application "melodrop", group "options": an INI file in the user's
// configuration folder on Linux, the registry key of earlier installations on Windows.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    // A store in an explicit INI file (tests, the scenario runner).
    explicit QtSettingsStore(const QString& iniPath);

    QString ReadSetting(const QString& key) override;
    void WriteSetting(const QString& key, const QString& value) override;

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace melodrop
