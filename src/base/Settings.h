#pragma once
// The stored settings, one row each in one table (Settings.cpp): the name a setting is stored
// under (as earlier versions wrote it), its type, what it reads as in an empty store, how its
// stored text reads and how a value is written. The options state starts as an empty store reads,
// start-up reads the store through the typed handles below (Options::read) and every change is
// written through them (Options::set); nothing else knows a stored name, a default or a reading.
#include <QString>
#include <optional>

namespace melodrop {

struct OptionsState;

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

// A setting by its type: a check mark ("true" or "false"), a text, or the volume level (a
// number, written whole).
enum class SettingType { Flag, Text, Level };
struct FlagSetting {
    SettingKey key;
};
struct TextSetting {
    SettingKey key;
};
struct LevelSetting {
    SettingKey key;
};

namespace setting {
inline constexpr FlagSetting alwaysOnTop{SettingKey::AlwaysOnTop};
inline constexpr FlagSetting advertise{SettingKey::Advertise};
inline constexpr FlagSetting continuous{SettingKey::Continuous};
inline constexpr FlagSetting random{SettingKey::Random};
inline constexpr FlagSetting chatCommands{SettingKey::ChatCommands};
inline constexpr FlagSetting rollup{SettingKey::Rollup};
inline constexpr TextSetting mp3Folder{SettingKey::Mp3Folder};
inline constexpr TextSetting trigger{SettingKey::Trigger};
inline constexpr TextSetting handle{SettingKey::Handle};
inline constexpr TextSetting skin{SettingKey::Skin};
inline constexpr LevelSetting volume{SettingKey::Volume};
}  // namespace setting

// The name a setting is stored under ("alwaysontop", "vol" ...), and its type.
QString settingName(SettingKey key);
SettingType settingType(SettingKey key);

// What a setting's stored text ("" when never written) reads as.
bool readFlag(FlagSetting setting, const QString& stored);
QString readText(TextSetting setting, const QString& stored);
// The level taken at the nearer end of 0 to 100; none for text that is no number (or none).
std::optional<double> readLevel(LevelSetting setting, const QString& stored);

// The text stored for a value.
QString flagText(bool on);
QString levelText(int level);

// The state fields that settings keep (check marks, texts): the field a setting sets, or null.
bool OptionsState::*flagField(FlagSetting setting);
QString OptionsState::*textField(TextSetting setting);

// The default MP3 folder: "C:\My Downloads" on Windows, the user's Downloads folder elsewhere.
QString defaultMp3Folder();

}  // namespace melodrop
