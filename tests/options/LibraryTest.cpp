// The MP3 folder dialog, refresh, find mp3, mp3 name? and set volume.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "fakes/TestRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.addMp3s({"Love Song.mp3", "lovely day.MP3", "Rain.mp3"});
        m = &rig.load();
        rig.takeLines();
        rig.desktop.requests.clear();
        rig.player.calls.clear();
    }
    TestRig rig;
    Melodrop* m = nullptr;
};

}  // namespace

TEST_F(LibraryTest, FindMp3OffersTheFirstMatchInLowerCase) {
    rig.desktop.promptAnswers.enqueue("LOVE");
    rig.desktop.messageAnswers.enqueue(MessageAnswer::Yes);
    m->menuTriggered("findmp3");
    EXPECT_EQ(rig.desktop.requests,
              (QStringList{"minimize", "prompt melodrop|mp3 to search for",
                           "message melodrop|love song.mp3 was found, would you like to play it?",
                           "restore"}));
    EXPECT_EQ(rig.player.calls, QStringList{"Open " + rig.mp3Path("Love Song.mp3")});
    EXPECT_EQ(m->lblMP3Name(), "mp3 name");  // finding does not make it the current track
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST_F(LibraryTest, FindMp3NoKeepsTheMatchSelected_NotFoundSaysSo) {
    rig.desktop.promptAnswers.enqueue("day");
    rig.desktop.messageAnswers.enqueue(MessageAnswer::No);
    m->menuTriggered("findmp3");
    EXPECT_EQ(m->tracks().selectedName(), "lovely day.MP3");
    EXPECT_TRUE(rig.player.calls.isEmpty());
    rig.desktop.promptAnswers.enqueue("Jazz");
    m->menuTriggered("findmp3");
    EXPECT_TRUE(rig.desktop.requests.contains("message melodrop|jazz was not found."));
    rig.desktop.requests.clear();
    m->menuTriggered("findmp3");  // cancelled prompt
    EXPECT_EQ(rig.desktop.requests.last(), "restore");
    EXPECT_EQ(rig.desktop.requestsStartingWith("message").size(), 0);
}

TEST_F(LibraryTest, Mp3NameShowsTheSelectionOrNothing) {
    m->menuTriggered("mp3name");
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
    m->tracks().select(0);
    m->menuTriggered("mp3name");
    EXPECT_EQ(rig.desktop.requests.value(1), "message melodrop|selected mp3: love song.mp3");
}

TEST_F(LibraryTest, SetVolumeAcceptsZeroToHundredWithHalvesToEven) {
    struct Case {
        const char* typed;
        const char* call;  // nullptr: nothing changes
        int slider;
    } cases[] = {{"100", "Volume 0", 100},     {"0", "Volume -2500", 0},    {"101", nullptr, 0},
                 {"-1", nullptr, 0},           {"abc", nullptr, 0},         {"", nullptr, 0},
                 {"50.5", "Volume -1238", 50}, {"51.5", "Volume -1212", 52}};
    for (const Case& c : cases) {
        rig.player.calls.clear();
        m->window().setSlider(7);
        rig.settings.values.remove("vol");
        rig.desktop.promptAnswers.enqueue(c.typed);
        m->menuTriggered("setvolume");
        SCOPED_TRACE(c.typed);
        if (!c.call) {
            EXPECT_TRUE(rig.player.calls.isEmpty());
            EXPECT_EQ(m->window().slider(), 7);
            EXPECT_FALSE(rig.settings.values.contains("vol"));
        } else {
            EXPECT_EQ(rig.player.calls, QStringList{c.call});
            EXPECT_EQ(m->window().slider(), c.slider);
            EXPECT_EQ(rig.settings.values["vol"], QString::number(c.slider));
        }
        EXPECT_EQ(rig.desktop.requests.last(), "restore");
    }
}

TEST_F(LibraryTest, SetVolumeComesBackAfterARestart) {
    rig.desktop.promptAnswers.enqueue("40");
    m->menuTriggered("setvolume");
    TestRig again;
    again.settings.values = rig.settings.values;
    Melodrop& restarted = again.load();
    EXPECT_EQ(restarted.window().slider(), 40);
    EXPECT_EQ(again.player.calls.filter("Volume"), QStringList{"Volume -1500"});
}

TEST_F(LibraryTest, FolderDialogOkChangesTheFolder_CancelChangesNothing) {
    m->menuTriggered("setmp3dir");
    EXPECT_EQ(rig.desktop.requests, (QStringList{"minimize", "folder dialog"}));
    m->folderDialogCancel();
    EXPECT_EQ(m->tracks().count(), 3);
    QTemporaryDir empty;
    m->menuTriggered("setmp3dir");
    m->folderDialogOk(empty.path());
    EXPECT_EQ(m->tracks().count(), 0);
    EXPECT_EQ(m->state().txtMP3sPath, empty.path());
    EXPECT_EQ(rig.settings.values["mp3dir"], empty.path());
    EXPECT_EQ(rig.desktop.requests.last(), "restore");
    EXPECT_FALSE(rig.desktop.folderDialogShown);
}

TEST_F(LibraryTest, RefreshShowsAddedAndRemovedFiles) {
    QFile::remove(rig.mp3Path("Rain.mp3"));
    QFile added(rig.mp3Path("New.mp3"));
    ASSERT_TRUE(added.open(QIODevice::WriteOnly));
    m->menuTriggered("refresh");
    EXPECT_EQ(m->tracks().entries(), (QStringList{"Love Song.mp3", "lovely day.MP3", "New.mp3"}));
}
