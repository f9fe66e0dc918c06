#include "base/Options.h"

namespace melodrop {

QString Options::stored(SettingKey key) const {
    return store_.ReadSetting(settingName(key));
}

void Options::store(SettingKey key, const QString& text) {
    store_.WriteSetting(settingName(key), text);
    emit notifier_.changed(key);
}

bool Options::read(FlagSetting setting) const {
    return readFlag(setting, stored(setting.key));
}

QString Options::read(TextSetting setting) const {
    return readText(setting, stored(setting.key));
}

std::optional<double> Options::read(LevelSetting setting) const {
    return readLevel(setting, stored(setting.key));
}

void Options::set(FlagSetting setting, bool on) {
    if (bool OptionsState::*field = flagField(setting)) state_.*field = on;
    store(setting.key, flagText(on));
}

void Options::set(TextSetting setting, const QString& text) {
    if (QString OptionsState::*field = textField(setting)) state_.*field = text;
    store(setting.key, text);
}

void Options::set(LevelSetting setting, int level) {
    store(setting.key, levelText(level));
}

}  // namespace melodrop
