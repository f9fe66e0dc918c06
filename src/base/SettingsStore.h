#pragma once
// The per-user store of the program's settings: application "melodrop", section "options",
// string values; a key never written reads as "".
#include <QString>

namespace melodrop {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString ReadSetting(const QString& key) = 0;
    virtual void WriteSetting(const QString& key, const QString& value) = 0;
};

}  // namespace melodrop
