#pragma once
// The options state together with the settings it is stored in. Settings are read and written
// by their typed handles (base/Settings.h: setting::random, setting::volume ...): read() gives
// what the stored text means, set() changes the check mark or text field that belongs to the
// setting and writes it in one step, so the state and the stored settings do not drift apart.
// Nothing else reads or writes settings.
#include <QObject>
#include <QString>
#include <optional>

#include "base/OptionsState.h"
#include "base/Settings.h"
#include "base/SettingsStore.h"

namespace melodrop {

// Tells, after Options::set, which setting changed: for those outside the logic that follow the
// options (the media keys' shuffle and loop state).
class OptionsNotifier : public QObject {
    Q_OBJECT
signals:
    void changed(melodrop::SettingKey key);
};

class Options {
public:
    Options(OptionsState& state, SettingsStore& store) : state_(state), store_(store) {}
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;

    OptionsState& state() { return state_; }
    const OptionsState& state() const { return state_; }

    // What the store holds for a setting; an empty store gives the setting's default.
    bool read(FlagSetting setting) const;
    QString read(TextSetting setting) const;
    std::optional<double> read(LevelSetting setting) const;

    // Sets the setting's check mark or text field (if it has one) and stores the value.
    void set(FlagSetting setting, bool on);
    void set(TextSetting setting, const QString& text);
    void set(LevelSetting setting, int level);

    const OptionsNotifier& notifier() const { return notifier_; }

private:
    QString stored(SettingKey key) const;
    void store(SettingKey key, const QString& text);

    OptionsState& state_;
    SettingsStore& store_;
    OptionsNotifier notifier_;
};

}  // namespace melodrop
