// The options state and its stored settings change together, under the names earlier versions
// stored them with (a renamed key would silently lose every user's settings).
#include <gtest/gtest.h>

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
    options.set(SettingKey::Random, true);
    options.set(SettingKey::AlwaysOnTop, false);
    options.set(SettingKey::ChatCommands, false);
    EXPECT_TRUE(state.random);
    EXPECT_FALSE(state.alwaysontop);
    EXPECT_FALSE(state.chatcommands);
    EXPECT_EQ(store.writes,
              (QStringList{"random=true", "alwaysontop=false", "chatcommands=false"}));
}

TEST_F(OptionsTest, ATextFieldIsSetAndStoredAsItStands) {
    options.set(SettingKey::Trigger, QStringLiteral("!"));
    options.set(SettingKey::Handle, QStringLiteral("DJ \"x\" = y"));
    options.set(SettingKey::Mp3Folder, QStringLiteral("/music/a b"));
    EXPECT_EQ(state.txtTrigger, "!");
    EXPECT_EQ(state.txtHandle, "DJ \"x\" = y");
    EXPECT_EQ(state.txtMP3sPath, "/music/a b");
    EXPECT_EQ(store.values.value("trig"), "!");
    EXPECT_EQ(store.values.value("hndle"), "DJ \"x\" = y");
    EXPECT_EQ(store.values.value("mp3dir"), "/music/a b");
}

TEST_F(OptionsTest, SettingsWithoutAFieldAreOnlyStored) {
    const OptionsState before = state;
    options.set(SettingKey::Volume, QStringLiteral("42"));
    options.set(SettingKey::Skin, QStringLiteral("default"));
    options.set(SettingKey::Rollup, true);
    EXPECT_EQ(store.writes, (QStringList{"vol=42", "skin=default", "rollup=true"}));
    EXPECT_EQ(state.rollupCaption, before.rollupCaption);
    EXPECT_EQ(state.txtHandle, before.txtHandle);
}

TEST_F(OptionsTest, EveryKeyKeepsTheNameEarlierVersionsStored) {
    const std::pair<SettingKey, const char*> names[] = {
        {SettingKey::AlwaysOnTop, "alwaysontop"},
        {SettingKey::Advertise, "advertise"},
        {SettingKey::Continuous, "continuous"},
        {SettingKey::Random, "random"},
        {SettingKey::ChatCommands, "chatcommands"},
        {SettingKey::Rollup, "rollup"},
        {SettingKey::Mp3Folder, "mp3dir"},
        {SettingKey::Trigger, "trig"},
        {SettingKey::Handle, "hndle"},
        {SettingKey::Volume, "vol"},
        {SettingKey::Skin, "skin"},
    };
    for (const auto& [key, name] : names) {
        store.values[QString::fromLatin1(name)] = QStringLiteral("stored ") + name;
        EXPECT_EQ(options.stored(key), QStringLiteral("stored ") + name) << name;
    }
}

}  // namespace
}  // namespace melodrop
