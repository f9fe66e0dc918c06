// The options state and its stored settings change together, under the names earlier versions
// stored them with (a renamed key would silently lose every user's settings), and a setting
// reads as start-up has always read it, an empty store giving the defaults that ship.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include <tuple>

#include "base/Options.h"
#include "fakes/FakeSettingsStore.h"

namespace melodrop {
namespace {

using testing::FakeSettingsStore;

struct OptionsTest : ::testing::Test {
    OptionsState state;
    FakeSettingsStore store;
    Options options{state, store};
};

TEST_F(OptionsTest, ACheckMarkIsSetAndStoredAsTrueOrFalse) {
    options.set(setting::random, true);
    options.set(setting::alwaysOnTop, false);
    options.set(setting::chatCommands, false);
    EXPECT_TRUE(state.random);
    EXPECT_FALSE(state.alwaysontop);
    EXPECT_FALSE(state.chatcommands);
    EXPECT_EQ(store.writes,
              (QStringList{"random=true", "alwaysontop=false", "chatcommands=false"}));
}

TEST_F(OptionsTest, ATextFieldIsSetAndStoredAsItStands) {
    options.set(setting::trigger, QStringLiteral("!"));
    options.set(setting::handle, QStringLiteral("DJ \"x\" = y"));
    options.set(setting::mp3Folder, QStringLiteral("/music/a b"));
    EXPECT_EQ(state.txtTrigger, "!");
    EXPECT_EQ(state.txtHandle, "DJ \"x\" = y");
    EXPECT_EQ(state.txtMP3sPath, "/music/a b");
    EXPECT_EQ(store.values.value("trig"), "!");
    EXPECT_EQ(store.values.value("hndle"), "DJ \"x\" = y");
    EXPECT_EQ(store.values.value("mp3dir"), "/music/a b");
}

TEST_F(OptionsTest, SettingsWithoutAFieldAreOnlyStored) {
    const OptionsState before = state;
    options.set(setting::volume, 42);
    options.set(setting::skin, QStringLiteral("default"));
    options.set(setting::rollup, true);
    EXPECT_EQ(store.writes, (QStringList{"vol=42", "skin=default", "rollup=true"}));
    EXPECT_EQ(state.rollupCaption, before.rollupCaption);
    EXPECT_EQ(state.txtHandle, before.txtHandle);
}

TEST_F(OptionsTest, EveryKeyKeepsTheNameEarlierVersionsStored) {
    const std::tuple<SettingKey, const char*, SettingType> names[] = {
        {SettingKey::AlwaysOnTop, "alwaysontop", SettingType::Flag},
        {SettingKey::Advertise, "advertise", SettingType::Flag},
        {SettingKey::Continuous, "continuous", SettingType::Flag},
        {SettingKey::Random, "random", SettingType::Flag},
        {SettingKey::ChatCommands, "chatcommands", SettingType::Flag},
        {SettingKey::Rollup, "rollup", SettingType::Flag},
        {SettingKey::Mp3Folder, "mp3dir", SettingType::Text},
        {SettingKey::Trigger, "trig", SettingType::Text},
        {SettingKey::Handle, "hndle", SettingType::Text},
        {SettingKey::Volume, "vol", SettingType::Level},
        {SettingKey::Skin, "skin", SettingType::Text},
    };
    for (const auto& [key, name, type] : names) {
        EXPECT_EQ(settingName(key), QString::fromLatin1(name));
        EXPECT_EQ(settingType(key), type) << name;
    }
    // The typed handles name the rows of their own type.
    for (FlagSetting flag : {setting::alwaysOnTop, setting::advertise, setting::continuous,
                             setting::random, setting::chatCommands, setting::rollup})
        EXPECT_EQ(settingType(flag.key), SettingType::Flag) << settingName(flag.key).toStdString();
    for (TextSetting text : {setting::mp3Folder, setting::trigger, setting::handle, setting::skin})
        EXPECT_EQ(settingType(text.key), SettingType::Text) << settingName(text.key).toStdString();
    EXPECT_EQ(settingType(setting::volume.key), SettingType::Level);
}

// The state starts as an empty store reads at start-up: every check mark on (always on top,
// continuous and random too, as the first start has always had them), no trigger, the handle
// "user", the downloads folder.
TEST_F(OptionsTest, TheStateStartsAsAnEmptyStoreReads) {
    const OptionsState fresh;
    for (FlagSetting flag : {setting::alwaysOnTop, setting::advertise, setting::continuous,
                             setting::random, setting::chatCommands}) {
        EXPECT_TRUE(fresh.*flagField(flag)) << settingName(flag.key).toStdString();
        EXPECT_TRUE(options.read(flag)) << settingName(flag.key).toStdString();
    }
    EXPECT_EQ(fresh.txtTrigger, "");
    EXPECT_EQ(fresh.txtHandle, "user");
    EXPECT_EQ(fresh.txtMP3sPath,
              QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    for (TextSetting text : {setting::mp3Folder, setting::trigger, setting::handle})
        EXPECT_EQ(fresh.*textField(text), options.read(text))
            << settingName(text.key).toStdString();
}

}  // namespace
}  // namespace melodrop
