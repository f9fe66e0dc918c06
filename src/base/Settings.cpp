#include "base/Settings.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>

#include "base/NumberText.h"
#include "base/OptionsState.h"

namespace melodrop {

namespace {

// How a stored check mark reads when it is not empty (an empty one gives the row's default).
enum class FlagReading {
    OffOnlyWhenFalse,  // anything but "false" is on
    OnOnlyWhenTrue,    // only "true" is on
};

QString empty() {
    return {};
}
QString user() {
    return QStringLiteral("user");
}
QString defaultSkin() {
    return QStringLiteral("default");
}

struct Row {
    SettingKey key;
    const char* name;
    SettingType type;
    // Flags: what an empty store gives, how stored text reads, the check mark it sets.
    bool flagWhenEmpty = false;
    FlagReading reading = FlagReading::OffOnlyWhenFalse;
    bool OptionsState::*flag = nullptr;
    // Texts: what an empty store (or an empty text) gives, the text field it sets.
    QString (*textWhenEmpty)() = nullptr;
    QString OptionsState::*text = nullptr;
};

// An empty store gives a level of none: the slider stays at its first position, the player at
// its own volume.
const Row kSettings[] = {
    {.key = SettingKey::AlwaysOnTop,
     .name = "alwaysontop",
     .type = SettingType::Flag,
     .flagWhenEmpty = true,
     .reading = FlagReading::OnOnlyWhenTrue,
     .flag = &OptionsState::alwaysontop},
    {.key = SettingKey::Advertise,
     .name = "advertise",
     .type = SettingType::Flag,
     .flagWhenEmpty = true,
     .flag = &OptionsState::advertise},
    {.key = SettingKey::Continuous,
     .name = "continuous",
     .type = SettingType::Flag,
     .flagWhenEmpty = true,
     .flag = &OptionsState::continuous},
    {.key = SettingKey::Random,
     .name = "random",
     .type = SettingType::Flag,
     .flagWhenEmpty = true,
     .flag = &OptionsState::random},
    {.key = SettingKey::ChatCommands,
     .name = "chatcommands",
     .type = SettingType::Flag,
     .flagWhenEmpty = true,
     .flag = &OptionsState::chatcommands},
    {.key = SettingKey::Rollup,
     .name = "rollup",
     .type = SettingType::Flag,
     .flagWhenEmpty = false,
     .reading = FlagReading::OnOnlyWhenTrue},
    {.key = SettingKey::Mp3Folder,
     .name = "mp3dir",
     .type = SettingType::Text,
     .textWhenEmpty = defaultMp3Folder,
     .text = &OptionsState::txtMP3sPath},
    {.key = SettingKey::Trigger,
     .name = "trig",
     .type = SettingType::Text,
     .textWhenEmpty = empty,
     .text = &OptionsState::txtTrigger},
    {.key = SettingKey::Handle,
     .name = "hndle",
     .type = SettingType::Text,
     .textWhenEmpty = user,
     .text = &OptionsState::txtHandle},
    {.key = SettingKey::Volume, .name = "vol", .type = SettingType::Level},
    {.key = SettingKey::Skin,
     .name = "skin",
     .type = SettingType::Text,
     .textWhenEmpty = defaultSkin},
};

const Row& row(SettingKey key) {
    return *std::find_if(std::begin(kSettings), std::end(kSettings),
                         [key](const Row& r) { return r.key == key; });
}

}  // namespace

QString settingName(SettingKey key) {
    return QString::fromLatin1(row(key).name);
}

SettingType settingType(SettingKey key) {
    return row(key).type;
}

bool readFlag(FlagSetting setting, const QString& stored) {
    const Row& r = row(setting.key);
    if (stored.isEmpty()) return r.flagWhenEmpty;
    return r.reading == FlagReading::OnOnlyWhenTrue ? stored == QLatin1String("true")
                                                    : stored != QLatin1String("false");
}

QString readText(TextSetting setting, const QString& stored) {
    return stored.isEmpty() ? row(setting.key).textWhenEmpty() : stored;
}

std::optional<double> readLevel(LevelSetting, const QString& stored) {
    // A stored level outside 0 to 100 is taken at the nearer end rather than as a gain the slider
    // cannot show.
    const std::optional<double> level = parseNumber(stored);
    if (!level) return std::nullopt;
    return std::clamp(*level, 0.0, 100.0);
}

QString flagText(bool on) {
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

QString levelText(int level) {
    return QString::number(level);
}

bool OptionsState::*flagField(FlagSetting setting) {
    return row(setting.key).flag;
}

QString OptionsState::*textField(TextSetting setting) {
    return row(setting.key).text;
}

QString defaultMp3Folder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\My Downloads");
#else
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QDir::homePath() + QStringLiteral("/Downloads") : downloads;
#endif
}

OptionsState::OptionsState() {
    // Every check mark and text field a setting keeps starts as an empty store reads.
    for (const Row& r : kSettings) {
        if (r.flag) this->*r.flag = r.flagWhenEmpty;
        if (r.text) this->*r.text = r.textWhenEmpty();
    }
}

}  // namespace melodrop
