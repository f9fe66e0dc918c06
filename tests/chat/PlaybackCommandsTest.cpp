// The playback and library commands typed in the simulated room: what the media player is asked,
// what the room reads, what is saved.
#include <QDir>
#include <QFile>

#include "chat/CommandRig.h"
#include "chat/PlaybackCommands.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

using PlayCommand = CommandTest;

TEST_F(PlayCommand, PlaysTheFirstMatchRegardlessOfCaseFromTheMp3Folder) {
    EXPECT_EQ(type("/play LOVE"), QStringList{line(Announcement::Playing, "beta love.mp3")});
    EXPECT_EQ(rig.player.calls, QStringList{open("Beta Love.mp3")});
    EXPECT_EQ(state().lblMP3Name, "Beta Love.mp3");
    EXPECT_EQ(m->tracks().selectedIndex(), -1);  // the list does not move
}

TEST_F(PlayCommand, OpensFromTheFolderTextNotTheListsFolder) {
    state().txtMP3sPath = "/elsewhere";
    type("/play gamma");
    EXPECT_EQ(rig.player.calls, QStringList{"Open " + joinTrackPath("/elsewhere", "Gamma.mp3")});
}

TEST_F(PlayCommand, NoMatchDoesNothing) {
    EXPECT_TRUE(type("/play zebra").isEmpty());
    EXPECT_TRUE(rig.player.calls.isEmpty());
    EXPECT_EQ(state().lblMP3Name, kNoTrack);
}

TEST_F(PlayCommand, AdvertisingOffStillPlays) {
    state().advertise = false;
    EXPECT_TRUE(type("/play alpha").isEmpty());
    EXPECT_EQ(rig.player.calls, QStringList{open("Alpha.mp3")});
}

using RandCommand = CommandTest;

TEST_F(RandCommand, WithASearchTextPicksAmongTheMatchesOnly) {
    for (int i = 0; i < 12; ++i) {
        rig.clock.advance(0.37 * i);  // another time of day, another seed
        const QStringList lines = type("/rand LOVE");
        ASSERT_EQ(lines.size(), 1);
        const QString name = state().lblMP3Name;
        EXPECT_TRUE(name == "Beta Love.mp3" || name == "love song.mp3") << name.toStdString();
        EXPECT_EQ(lines[0], line(Announcement::Random, name));
        EXPECT_EQ(rig.player.calls.takeLast(), open(name));
    }
    EXPECT_EQ(state().lstRandom, (QStringList{"Beta Love.mp3", "love song.mp3"}));
    EXPECT_EQ(m->tracks().selectedIndex(), -1);
}

TEST_F(RandCommand, WithoutSearchTextSelectsTheTrackInTheList) {
    EXPECT_EQ(type("/rand").size(), 1);
    ASSERT_GE(m->tracks().selectedIndex(), 0);
    EXPECT_EQ(state().lblMP3Name, m->tracks().selectedName());
    EXPECT_EQ(rig.player.calls, QStringList{open(state().lblMP3Name)});
    EXPECT_TRUE(state().lstRandom.isEmpty());
}

TEST_F(RandCommand, ABlankAloneSearchesForTheEmptyText) {
    type("/rand ");
    EXPECT_EQ(state().lstRandom.size(), 4);
    EXPECT_EQ(m->tracks().selectedIndex(), -1);
}

TEST_F(RandCommand, NothingToPickFromDoesNothing) {
    EXPECT_TRUE(type("/rand zebra").isEmpty());
    EXPECT_TRUE(state().lstRandom.isEmpty());
    QDir(rig.mp3Folder()).removeRecursively();
    QDir().mkpath(rig.mp3Folder());
    ctx().tracks.refresh();
    EXPECT_TRUE(type("/rand").isEmpty());
    EXPECT_TRUE(rig.player.calls.isEmpty());
}

using StepCommands = CommandTest;

TEST_F(StepCommands, NextAndPrevWrapAroundAndOpenFromTheListsFolder) {
    state().txtMP3sPath = "/elsewhere";  // not used by next and prev
    ctx().tracks.select(3);
    EXPECT_EQ(type("/next"), QStringList{line(Announcement::Playing, "alpha.mp3")});
    EXPECT_EQ(type("/prev"), QStringList{line(Announcement::Previous, "love song.mp3")});
    EXPECT_EQ(type("/prev"), QStringList{line(Announcement::Previous, "gamma.mp3")});
    EXPECT_EQ(rig.player.calls,
              (QStringList{open("Alpha.mp3"), open("love song.mp3"), open("Gamma.mp3")}));
    EXPECT_EQ(m->tracks().selectedIndex(), 2);
}

TEST_F(StepCommands, NextFromNoSelectionPlaysTheFirst) {
    type("/next");
    EXPECT_EQ(m->tracks().selectedIndex(), 0);
    EXPECT_EQ(state().lblMP3Name, "Alpha.mp3");
}

TEST_F(StepCommands, PrevFromNoSelectionOrOnAnEmptyListOpensNothingReal) {
    // The step to index -2 fails; the rest runs with the empty selection.
    EXPECT_EQ(type("/prev"), QStringList{line(Announcement::Previous, "")});
    EXPECT_EQ(state().lblMP3Name, "");
    EXPECT_EQ(rig.player.calls, QStringList{"Open " + ctx().tracks.pathOf("")});

    ASSERT_TRUE(ctx().tracks.setFolder(rig.programFolder()));  // no MP3s there
    EXPECT_EQ(type("/next"), QStringList{line(Announcement::Playing, "")});
    EXPECT_EQ(m->tracks().selectedIndex(), -1);
}

using TransportCommands = CommandTest;

TEST_F(TransportCommands, DoNothingBeforeAnyTrackWasChosen) {
    for (const char* command : {"/stop", "/pause", "/unpause"})
        EXPECT_TRUE(type(command).isEmpty());
    EXPECT_TRUE(rig.player.calls.isEmpty());
    EXPECT_FALSE(m->window().paused());
}

TEST_F(TransportCommands, PauseSetsTheFlagAndUnpauseLeavesIt) {
    type("/play beta");
    rig.player.calls.clear();
    EXPECT_EQ(type("/pause"), QStringList{line(Announcement::Paused, "beta love.mp3")});
    EXPECT_TRUE(m->window().paused());
    EXPECT_EQ(type("/unpause"), QStringList{line(Announcement::Upaused, "beta love.mp3")});
    EXPECT_TRUE(m->window().paused());
    EXPECT_EQ(type("/stop"), QStringList{line(Announcement::Stopped, "beta love.mp3")});
    EXPECT_EQ(rig.player.calls, (QStringList{"Pause", "Play", "Stop"}));
    // So the window's play button takes the resume path once more.
    rig.player.calls.clear();
    m->play();
    EXPECT_EQ(rig.player.calls, QStringList{"Play"});
}

TEST_F(TransportCommands, ShortFormsRefuseAnythingAfterTheName) {
    type("/play beta");
    rig.player.calls.clear();
    for (const char* command : {"/stop ", "/pause ", "/unpause x", "/next ", "/prev ", "/song? "})
        EXPECT_TRUE(type(command).isEmpty()) << command;
    EXPECT_TRUE(rig.player.calls.isEmpty());
}

TEST_F(TransportCommands, SongAnnouncesTheCurrentNameEvenBeforeAnyTrack) {
    EXPECT_EQ(type("/song?"), QStringList{line(Announcement::Song, "mp3 name")});
    type("/play gamma");
    EXPECT_EQ(type("/song?"), QStringList{line(Announcement::Song, "gamma.mp3")});
}

struct SeekCase {
    const char* line;
    double from;
    bool moves;
    double to;
};

class SeekCommands : public CommandTest, public ::testing::WithParamInterface<SeekCase> {};

TEST_P(SeekCommands, MoveByTheTypedSecondsWithoutClamping) {
    const SeekCase c = GetParam();
    rig.player.position = c.from;
    const QString typed = QString::fromUtf8(c.line);
    const QStringList lines = type(typed);
    if (!c.moves) {
        EXPECT_TRUE(lines.isEmpty()) << c.line;
        EXPECT_TRUE(rig.player.calls.isEmpty()) << c.line;
        return;
    }
    EXPECT_EQ(rig.player.calls, QStringList{QStringLiteral("Position %1").arg(c.to)}) << c.line;
    const bool forward = typed.startsWith("/fwd");
    const QString argument = typed.mid(typed.indexOf(' ') + 1);
    EXPECT_EQ(lines, QStringList{line(forward ? Announcement::FastForward : Announcement::Rewind,
                                      argument)});
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, SeekCommands,
    ::testing::Values(SeekCase{"/rwnd 10", 4, true, -6}, SeekCase{"/fwd 12", 1, true, 13},
                      SeekCase{"/fwd 2.5", 1, true, 3.5}, SeekCase{"/fwd -3", 10, true, 7},
                      SeekCase{"/fwd  7 ", 0, true, 7}, SeekCase{"/fwd 1E2", 0, true, 100},
                      SeekCase{"/fwd abc", 0, false, 0}, SeekCase{"/fwd ", 0, false, 0},
                      SeekCase{"/fwd nan", 0, false, 0}, SeekCase{"/fwd inf", 0, false, 0},
                      SeekCase{"/rwnd -Infinity", 0, false, 0}, SeekCase{"/fwd 1e400", 0, false, 0},
                      SeekCase{"/fwd 0x10", 0, false, 0}, SeekCase{"/fwd 1,5", 0, false, 0},
                      SeekCase{"/fwd 12abc", 0, false, 0}, SeekCase{"/fwd", 0, false, 0}));

struct VolumeCase {
    const char* level;
    bool accepted;
    int volume;
    int slider;
};

class VolCommand : public CommandTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(VolCommand, SetsPlayerSliderAndSettingOrNothing) {
    const VolumeCase c = GetParam();
    const QString level = QString::fromUtf8(c.level);
    const QStringList lines = type("/vol " + level);
    if (!c.accepted) {
        EXPECT_TRUE(lines.isEmpty()) << c.level;
        EXPECT_TRUE(rig.player.calls.isEmpty()) << c.level;
        EXPECT_EQ(m->window().slider(), kInitialSlider);
        EXPECT_TRUE(rig.settings.writes.isEmpty());
        return;
    }
    EXPECT_EQ(rig.player.calls, QStringList{QStringLiteral("Volume %1").arg(c.volume)}) << c.level;
    EXPECT_EQ(m->window().slider(), c.slider) << c.level;
    EXPECT_EQ(lines, QStringList{line(Announcement::SetVolume, level.toLower())});
    EXPECT_EQ(rig.settings.writes, QStringList{QStringLiteral("vol=%1").arg(c.slider)});
}

INSTANTIATE_TEST_SUITE_P(
    Levels, VolCommand,
    ::testing::Values(VolumeCase{"40", true, -1500, 40}, VolumeCase{"0", true, -2500, 0},
                      VolumeCase{"100", true, 0, 100}, VolumeCase{"50.5", true, -1238, 50},
                      VolumeCase{"51.5", true, -1212, 52}, VolumeCase{" 7 ", true, -2325, 7},
                      VolumeCase{"65.1", true, -872, 65}, VolumeCase{"1e1", true, -2250, 10},
                      VolumeCase{"150", false, 0, 0}, VolumeCase{"-1", false, 0, 0},
                      VolumeCase{"100.01", false, 0, 0}, VolumeCase{"abc", false, 0, 0},
                      VolumeCase{"", false, 0, 0}, VolumeCase{"NaN", false, 0, 0},
                      VolumeCase{"1e400", false, 0, 0}));

TEST(PlayerVolumeForLevel, HalvesGoToTheEvenNeighbourAfterTheTextStep) {
    EXPECT_EQ(playerVolumeForLevel(0.02), -2500);  // -2499.5 -> -2500
    EXPECT_EQ(playerVolumeForLevel(0.06), -2498);  // -2498.5 -> -2498
    EXPECT_EQ(playerVolumeForLevel(99.98), 0);     // -0.5 -> 0
    // Binary noise on either side of a half does not decide: -895.4999999999998 is -895.5.
    EXPECT_EQ(playerVolumeForLevel(64.18), -896);
    EXPECT_EQ(playerVolumeForLevel(65.1), -872);  // -872.5000000000002
}

TEST_F(CommandTest, VolQueryAnnouncesTheSlider) {
    EXPECT_EQ(type("/vol?"), QStringList{line(Announcement::Volume, "90")});
    type("/vol 33");
    EXPECT_EQ(type("/vol?"), QStringList{line(Announcement::Volume, "33")});
}

using DirCommands = CommandTest;

TEST_F(DirCommands, DirMovesTheListAndSavesTheFolder) {
    QTemporaryDir other;
    QFile(other.path() + "/Zed.MP3").open(QIODevice::WriteOnly);
    const QString folder = other.path() + "/../" + QDir(other.path()).dirName();  // as typed
    EXPECT_EQ(type("/dir " + folder), QStringList{line(Announcement::SetDir, folder)});
    EXPECT_EQ(m->tracks().entries(), QStringList{"Zed.MP3"});
    EXPECT_EQ(state().txtMP3sPath, folder);
    EXPECT_EQ(rig.settings.writes, QStringList{"mp3dir=" + folder});
    EXPECT_EQ(type("/dir?"), QStringList{line(Announcement::Dir, m->tracks().folder())});
}

TEST_F(DirCommands, AFolderThatDoesNotExistIsStillTakenAsTheFolderText) {
    const QString missing = rig.mp3Folder() + "/No Such Folder";
    EXPECT_EQ(type("/dir " + missing), QStringList{line(Announcement::SetDir, missing)});
    EXPECT_EQ(m->tracks().folder(), rig.mp3Folder());
    EXPECT_EQ(m->tracks().count(), 4);
    EXPECT_EQ(state().txtMP3sPath, missing);
    EXPECT_EQ(rig.settings.values["mp3dir"], missing);
    // Later plays open paths there and fail quietly.
    type("/play alpha");
    EXPECT_EQ(rig.player.calls, QStringList{"Open " + joinTrackPath(missing, "Alpha.mp3")});
}

TEST_F(DirCommands, RefreshRereadsTheList) {
    QFile(rig.mp3Path("Delta.mp3")).open(QIODevice::WriteOnly);
    EXPECT_EQ(type("/refresh"), QStringList{line(Announcement::Mp3ListRefreshed)});
    EXPECT_EQ(m->tracks().count(), 5);
}

struct SwitchCase {
    const char* command;
    Announcement announced;
    const char* saved;
    bool continuous;
    bool random;
};

class SwitchCommands : public CommandTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchCommands, AnnounceSaveAndSetTheCheck) {
    const SwitchCase c = GetParam();
    state().continuous = !c.continuous;
    state().random = !c.random;
    EXPECT_EQ(type(c.command), QStringList{line(c.announced)});
    EXPECT_EQ(rig.settings.writes, QStringList{c.saved});
    const bool isContinuous = QString(c.saved).startsWith("continuous");
    EXPECT_EQ(isContinuous ? state().continuous : state().random,
              isContinuous ? c.continuous : c.random);
}

INSTANTIATE_TEST_SUITE_P(
    All, SwitchCommands,
    ::testing::Values(
        SwitchCase{"/counton", Announcement::SetContinuousOn, "continuous=true", true, false},
        SwitchCase{"/countoff", Announcement::SetContinuousOff, "continuous=false", false, true},
        SwitchCase{"/randon", Announcement::SetRandomOn, "random=true", false, true},
        SwitchCase{"/randoff", Announcement::SetRandomOff, "random=false", true, false}));

TEST_F(CommandTest, SwitchesWorkSilentlyWithAdvertisingOff) {
    state().advertise = false;
    EXPECT_TRUE(type("/counton").isEmpty());
    EXPECT_TRUE(state().continuous);
    EXPECT_EQ(rig.settings.writes, QStringList{"continuous=true"});
}

}  // namespace
