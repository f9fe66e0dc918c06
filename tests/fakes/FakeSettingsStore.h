#pragma once
#include <QMap>
#include <QStringList>

#include "base/SettingsStore.h"

namespace melodrop::testing {

// An in-memory settings store that remembers the order of writes.
class FakeSettingsStore : public SettingsStore {
public:
    QString ReadSetting(const QString& key) override { return values.value(key); }
    void WriteSetting(const QString& key, const QString& value) override {
        values[key] = value;
        writes << key + QLatin1Char('=') + value;
    }
    QMap<QString, QString> values;
    QStringList writes;
};

}  // namespace melodrop::testing
