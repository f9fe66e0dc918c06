#include "base/Options.h"

namespace melodrop {

namespace {

struct KeyInfo {
    const char* name;
    bool OptionsState::*flag;     // the check mark it sets, or none
    QString OptionsState::*text;  // the text field it sets, or none
};

KeyInfo info(SettingKey key) {
    switch (key) {
        case SettingKey::AlwaysOnTop:
            return {"alwaysontop", &OptionsState::alwaysontop, nullptr};
        case SettingKey::Advertise:
            return {"advertise", &OptionsState::advertise, nullptr};
        case SettingKey::Continuous:
            return {"continuous", &OptionsState::continuous, nullptr};
        case SettingKey::Random:
            return {"random", &OptionsState::random, nullptr};
        case SettingKey::ChatCommands:
            return {"chatcommands", &OptionsState::chatcommands, nullptr};
        case SettingKey::Rollup:
            return {"rollup", nullptr, nullptr};
        case SettingKey::Mp3Folder:
            return {"mp3dir", nullptr, &OptionsState::txtMP3sPath};
        case SettingKey::Trigger:
            return {"trig", nullptr, &OptionsState::txtTrigger};
        case SettingKey::Handle:
            return {"hndle", nullptr, &OptionsState::txtHandle};
        case SettingKey::Volume:
            return {"vol", nullptr, nullptr};
        case SettingKey::Skin:
            return {"skin", nullptr, nullptr};
    }
    return {"", nullptr, nullptr};
}

}  // namespace

QString settingName(SettingKey key) {
    return QString::fromLatin1(info(key).name);
}

void Options::set(SettingKey key, bool on) {
    const KeyInfo k = info(key);
    if (k.flag) state_.*k.flag = on;
    store_.WriteSetting(settingName(key), on ? QStringLiteral("true") : QStringLiteral("false"));
    emit notifier_.changed(key);
}

void Options::set(SettingKey key, const QString& text) {
    const KeyInfo k = info(key);
    if (k.text) state_.*k.text = text;
    store_.WriteSetting(settingName(key), text);
    emit notifier_.changed(key);
}

QString Options::stored(SettingKey key) const {
    return store_.ReadSetting(settingName(key));
}

}  // namespace melodrop
