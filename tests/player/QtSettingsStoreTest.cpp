// The settings store on QSettings: string values, "" for absent keys, one group.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "player/QtSettingsStore.h"

using namespace melodrop;

TEST(QtSettingsStore, RoundTripsTextAndReadsAbsentKeysAsEmpty) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    {
        QtSettingsStore store(ini);
        EXPECT_EQ(store.ReadSetting("vol"), "");
        store.WriteSetting("vol", "40");
        store.WriteSetting("mp3dir", "/music/My Songs, Vol. 2");
        store.WriteSetting("trig", " /");
    }
    QtSettingsStore again(ini);
    EXPECT_EQ(again.ReadSetting("vol"), "40");
    EXPECT_EQ(again.ReadSetting("mp3dir"), "/music/My Songs, Vol. 2");
    EXPECT_EQ(again.ReadSetting("trig"), " /");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("[options]"));
}

TEST(QtSettingsStore, HandEditedGarbageReadsAsText) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[options]\nvol=@Invalid()\nrollup=true, false\n\x01\x02garbage\n");
    f.close();
    QtSettingsStore store(ini);
    EXPECT_EQ(store.ReadSetting("vol"), "");
    store.WriteSetting("vol", "10");
    EXPECT_EQ(store.ReadSetting("vol"), "10");
}
