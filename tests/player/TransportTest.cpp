// The player window's transport, the end of a track and the menu's playback items, on the
// simulated room: what the media player is asked and what the room reads.
#include <gtest/gtest.h>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.addMp3s({"Alpha.mp3", "Beta.mp3", "Gamma.mp3"});
        rig.settings.values["random"] = "false";
        rig.settings.values["continuous"] = "false";
        m = &rig.load();
        rig.takeLines();
        rig.player.calls.clear();
    }
    QString line(Announcement kind, const QString& value) { return announcementLine(kind, value); }
    QString open(const QString& name) { return "Open " + rig.mp3Path(name); }

    TestRig rig;
    Melodrop* m = nullptr;
};

}  // namespace

TEST_F(TransportTest, NextAndPreviousWrapAround) {
    m->tracks().select(2);
    m->next();
    EXPECT_EQ(m->tracks().selectedIndex(), 0);
    m->previous();
    EXPECT_EQ(m->tracks().selectedIndex(), 2);
    EXPECT_EQ(rig.player.calls, (QStringList{open("Alpha.mp3"), open("Gamma.mp3")}));
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::Playing, "alpha.mp3"),
                                            line(Announcement::Playing, "gamma.mp3")}));
}

TEST_F(TransportTest, NextWithNothingSelectedPlaysTheFirst) {
    m->next();
    EXPECT_EQ(m->lblMP3Name(), "Alpha.mp3");
    EXPECT_EQ(rig.player.calls, QStringList{open("Alpha.mp3")});
}

TEST_F(TransportTest, PlayWithNothingSelectedPlaysTheFirstAndSelectsIt) {
    m->play();
    EXPECT_EQ(m->tracks().selectedIndex(), 0);
    EXPECT_EQ(m->lblMP3Name(), "Alpha.mp3");
    m->stop();
    m->tracks().select(-1);
    m->menuTriggered("play");  // the menu's play too
    EXPECT_EQ(m->tracks().selectedIndex(), 0);
    EXPECT_EQ(rig.player.calls, (QStringList{open("Alpha.mp3"), "Stop", open("Alpha.mp3")}));
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::Playing, "alpha.mp3"),
                                            line(Announcement::Stopped, "alpha.mp3"),
                                            line(Announcement::Playing, "alpha.mp3")}));
}

TEST_F(TransportTest, PauseAndStopBeforeAnyTrackDoNothing) {
    m->pause();
    m->stop();
    m->menuTriggered("pause");
    m->menuTriggered("stop");
    EXPECT_TRUE(rig.player.calls.isEmpty());
    EXPECT_TRUE(rig.takeLines().isEmpty());
    EXPECT_FALSE(m->window().paused());
}

TEST_F(TransportTest, TwoPausesThenPlayResumes) {
    m->playListed(1);
    rig.takeLines();
    m->pause();
    m->pause();
    m->play();
    EXPECT_EQ(rig.player.calls, (QStringList{open("Beta.mp3"), "Pause", "Pause", "Play"}));
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::Pausing, "beta.mp3"),
                                            line(Announcement::Pausing, "beta.mp3"),
                                            line(Announcement::Upaused, "beta.mp3")}));
    EXPECT_FALSE(m->window().paused());
}

TEST_F(TransportTest, StopLeavesThePausedFlagSoPlayResumes) {
    m->playListed(0);
    m->pause();
    m->stop();
    m->next();  // next does not clear the flag either
    rig.player.calls.clear();
    rig.takeLines();
    m->play();
    EXPECT_EQ(rig.player.calls, QStringList{"Play"});
    EXPECT_EQ(rig.takeLines(), QStringList{line(Announcement::Upaused, "beta.mp3")});
}

TEST_F(TransportTest, RandomPlayOpensFromTheFolderTextAndMayRepeat) {
    m->menuTriggered("random");
    ASSERT_TRUE(m->state().random);
    m->play();
    m->play();
    ASSERT_EQ(rig.player.calls.size(), 2);
    // The clock stands still, so the reseeded pick is the same track twice.
    EXPECT_EQ(rig.player.calls[0], rig.player.calls[1]);
    EXPECT_GE(m->tracks().selectedIndex(), 0);
    const QString name = m->tracks().selectedName();
    EXPECT_EQ(rig.takeLines().value(0), line(Announcement::Random, name.toLower()));
    // Next still steps through the list.
    const int at = m->tracks().selectedIndex();
    m->next();
    EXPECT_EQ(m->tracks().selectedIndex(), (at + 1) % 3);
}

TEST_F(TransportTest, AdvertiseOffSendsNothingButStillDrivesThePlayer) {
    m->menuTriggered("advertise");
    m->next();
    m->pause();
    m->play();
    m->stop();
    EXPECT_EQ(rig.player.calls.size(), 4);
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST_F(TransportTest, SeekingBy5SecondsIsNotClamped) {
    rig.player.position = 2;
    m->rewind();
    EXPECT_EQ(rig.player.position, -3);
    rig.player.position = 178;
    m->fastForward();
    EXPECT_EQ(rig.player.position, 183);
}

TEST_F(TransportTest, SliderSetsVolumeAndRemembersIt) {
    m->sliderMoved(0);
    m->sliderMoved(100);
    EXPECT_EQ(rig.player.calls, (QStringList{"Volume -2500", "Volume 0"}));
    EXPECT_EQ(rig.settings.values["vol"], "100");
}

TEST_F(TransportTest, EmptyListMakesEveryStepHarmless) {
    TestRig empty;
    Melodrop& e = empty.load();
    empty.takeLines();
    e.next();
    e.previous();
    e.play();
    e.menuTriggered("play");
    empty.player.finishTrack();
    EXPECT_TRUE(empty.player.opens().isEmpty());
    EXPECT_TRUE(empty.takeLines().isEmpty());
}

TEST_F(TransportTest, TrackEndWithContinuousOffLeavesThePlayerStopped) {
    m->playListed(0);
    rig.player.calls.clear();
    rig.player.finishTrack();
    EXPECT_TRUE(rig.player.calls.isEmpty());
}

TEST_F(TransportTest, TrackEndPlaysTheSelectedEntryAgainOrTheNewlySelectedOne) {
    m->menuTriggered("continuous");
    EXPECT_EQ(rig.takeLines(), QStringList{line(Announcement::SetContinuousOn, {})});
    m->playListed(0);
    rig.player.finishTrack();
    m->tracks().select(2);
    rig.player.finishTrack();
    EXPECT_EQ(rig.player.opens(),
              (QStringList{open("Alpha.mp3"), open("Alpha.mp3"), open("Gamma.mp3")}));
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::Playing, "alpha.mp3"),
                                            line(Announcement::Playing, "alpha.mp3"),
                                            line(Announcement::Playing, "gamma.mp3")}));
}

TEST_F(TransportTest, TrackEndInRandomModeWithOneEntryPlaysItAgain) {
    TestRig one;
    one.addMp3s({"Only One.mp3"});
    Melodrop& o = one.load();
    o.playListed(0);
    one.takeLines();
    one.player.finishTrack();
    EXPECT_EQ(one.player.opens().last(), "Open " + one.mp3Path("Only One.mp3"));
    EXPECT_EQ(one.takeLines(), QStringList{announcementLine(Announcement::Random, "only one.mp3")});
}

TEST_F(TransportTest, MenuPauseUnpauseAndPlay) {
    m->playListed(1);
    rig.takeLines();
    rig.player.calls.clear();
    m->menuTriggered("pause");
    m->menuTriggered("unpause");
    m->menuTriggered("unpause");  // nothing paused: no resume, still announced
    EXPECT_EQ(rig.player.calls, (QStringList{"Pause", "Play"}));
    EXPECT_EQ(rig.takeLines(), (QStringList{line(Announcement::Paused, "beta.mp3"),
                                            line(Announcement::Upaused, "beta.mp3"),
                                            line(Announcement::Upaused, "beta.mp3")}));
    // Menu play while paused starts the selected file again and keeps the flag.
    m->menuTriggered("pause");
    m->menuTriggered("play");
    EXPECT_TRUE(m->window().paused());
    EXPECT_EQ(rig.player.calls.last(), open("Beta.mp3"));
    // The menu's pause flag is the window's: play resumes.
    rig.player.calls.clear();
    m->play();
    EXPECT_EQ(rig.player.calls, QStringList{"Play"});
}

TEST_F(TransportTest, AnnouncementBytesReachTheRoomInWindows1252) {
    m->playListed(0);
    const std::string bytes = rig.sim.transcriptBytes();
    EXPECT_NE(bytes.find("\xB7\xB7\xF7\x95 <Font Color=\"#000000\"><b>p</b>laying; '"),
              std::string::npos);
    EXPECT_NE(bytes.find("<b>alpha.mp3</b>"), std::string::npos);
}

// Names in scripts the room cannot show are announced in Latin letters, not as question marks;
// what Windows-1252 has stays as it is.
TEST(AnnouncedNames, OtherScriptsReachTheRoomInLatinLetters) {
    TestRig rig;
    rig.addMp3s({"東京の夜.mp3", "Кино - Группа крови.mp3", "Café Ŝtelo.mp3"});
    rig.settings.values["random"] = "false";
    Melodrop& m = rig.load();
    rig.takeLines();
    const std::string before = rig.sim.transcriptBytes();
    for (int i = 0; i < 3; ++i) m.playListed(i);
    const std::string bytes = rig.sim.transcriptBytes().substr(before.size());
    for (const char* value : {"<b>dong jingno ye.mp3</b>", "<b>kino - gruppa krovi.mp3</b>",
                              "<b>caf\xE9 stelo.mp3</b>"})
        EXPECT_NE(bytes.find(value), std::string::npos) << value;
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    // The file names themselves are what the player opened.
    EXPECT_TRUE(rig.player.opens().contains("Open " + rig.mp3Path("Café Ŝtelo.mp3")));
}
