#pragma once
// The options state together with the settings it is stored in. Every stored setting has one
// key (SettingKey) and one stored name; set() changes the check mark or text field that belongs
// to the key and writes the setting in one step, so the state and the stored settings do not
// drift apart. Nothing else writes settings.
#include <QObject>
#include <QString>

#include "base/OptionsState.h"
#include "base/SettingsStore.h"

namespace melodrop {

enum class SettingKey {
    AlwaysOnTop,   // "alwaysontop": the check mark
    Advertise,     // "advertise": the check mark
    Continuous,    // "continuous": the check mark
    Random,        // "random": the check mark
    ChatCommands,  // "chatcommands": the check mark
    Rollup,        // "rollup": whether the window is rolled up (the caption follows the roll)
    Mp3Folder,     // "mp3dir": the MP3 folder text
    Trigger,       // "trig": the chat commands' trigger
    Handle,        // "hndle": the user's handle in the announcements
    Volume,        // "vol": the volume slider's level, 0 to 100 (the slider holds it)
    Skin,          // "skin": the skin file's name, or "default"
};

// The name a setting is stored under, as earlier versions wrote it ("alwaysontop", "vol" ...).
QString settingName(SettingKey key);

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

    // Sets the key's check mark (if it has one) and stores "true" or "false".
    void set(SettingKey key, bool on);
    // Sets the key's text field (if it has one) and stores the text.
    void set(SettingKey key, const QString& text);
    // The stored text of a setting; "" when never written.
    QString stored(SettingKey key) const;

    const OptionsNotifier& notifier() const { return notifier_; }

private:
    OptionsState& state_;
    SettingsStore& store_;
    OptionsNotifier notifier_;
};

}  // namespace melodrop
