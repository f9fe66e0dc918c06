// What the commands leave behind in the program and the simulated client, what other members'
// lines and hostile lines achieve (nothing), and the two menu entries of the command service.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "base/FileNames.h"
#include "chat/CommandRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

using ChatCommands = CommandTest;

TEST_F(ChatCommands, PlayAndRandWithATextLeaveTheListAlone) {
    type("/play love");
    for (int i = 0; i < 8; ++i) {
        rig.clock.advance(0.37 * i);  // another time of day, another seed
        type("/rand LOVE");
        EXPECT_TRUE(lblMP3Name().contains("love", Qt::CaseInsensitive));
    }
    EXPECT_EQ(state().lstRandom, (QStringList{"Beta Love.mp3", "love song.mp3"}));
    EXPECT_EQ(m->tracks().selectedIndex(), -1);
    type("/rand");
    EXPECT_EQ(lblMP3Name(), m->tracks().selectedName());
}

// A file whose name is not valid UTF-8 is found and opened: under its Windows-1252 reading in the
// list and the lines, with its own bytes on disk.
TEST_F(ChatCommands, PlayFindsAFileWhoseNameIsNotUtf8) {
    const QByteArray native = QFile::encodeName(rig.mp3Folder()) + "/Caf\xe9 Noir.mp3";
    FILE* f = std::fopen(native.constData(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    m->tracks().refresh();
    const QString shown = QString::fromUtf8("Caf\u00e9 Noir.mp3");
    ASSERT_TRUE(m->tracks().entries().contains(shown));
    EXPECT_EQ(type(QString::fromUtf8("/play \u00e9 n")),
              QStringList{line(Announcement::Playing, shown)});
    EXPECT_EQ(rig.player.calls, QStringList{"Open " + rig.mp3Path(shown)});
    EXPECT_EQ(nativeFilePath(rig.mp3Path(shown)), native);
    std::remove(native.constData());  // Qt does not see it to remove it with the folder
}

TEST_F(ChatCommands, PauseSetsTheWindowsFlagAndUnpauseLeavesIt) {
    type("/play beta");
    type("/pause");
    type("/unpause");
    EXPECT_TRUE(m->window().paused());
    rig.player.calls.clear();
    m->play();  // so the window's play button resumes once more
    EXPECT_EQ(rig.player.calls, QStringList{"Play"});
}

TEST_F(ChatCommands, DirTakesAFolderThatDoesNotExistAsText) {
    QTemporaryDir other;
    QFile(other.path() + "/Zed.MP3").open(QIODevice::WriteOnly);
    type("/dir " + other.path());
    EXPECT_EQ(m->tracks().entries(), QStringList{"Zed.MP3"});
    const QString missing = other.path() + "/gone";
    EXPECT_EQ(type("/dir " + missing), QStringList{line(Announcement::SetDir, missing)});
    EXPECT_EQ(m->tracks().folder(), other.path());
    EXPECT_EQ(state().txtMP3sPath, missing);
    EXPECT_EQ(rig.settings.values["mp3dir"], missing);
    EXPECT_EQ(type("/dir?"), QStringList{line(Announcement::Dir, other.path())});
}

TEST_F(ChatCommands, XAndUnxSwitchTheBoxAndTheRoomListOnlyGrows) {
    type("/x bo");
    EXPECT_TRUE(rig.sim.isIgnored("Bob"));
    type("/unx bo");
    EXPECT_FALSE(rig.sim.isIgnored("Bob"));
    EXPECT_EQ(state().lstRoom, (QStringList{"bob", "alice123", "bob", "alice123"}));
    // In another room the lobby's "bob" still matches first: announced, nobody switched.
    rig.sim.closeRoom();
    rig.sim.openRoom("Den");
    rig.sim.memberJoins("Bobby");
    rig.settle();
    rig.takeLines();
    EXPECT_EQ(type("/x bob"), QStringList{line(Announcement::Ignored, "bob")});
    EXPECT_FALSE(rig.sim.isIgnored("Bobby"));
}

TEST_F(ChatCommands, TheImmuneFileFollowsEveryChange) {
    type("/imu BoB");
    type("/imu bob");
    type("/imu Carol");
    type("/unimu bo");
    QFile file(rig.ctx().files.immuneFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "bob\r\ncarol\r\n");
}

TEST_F(ChatCommands, RoomAndInstantMessageCommandsReachTheClient) {
    type("/imsoff");
    EXPECT_FALSE(rig.sim.imsReceptionOn());
    state().advertise = false;
    type("/imson");
    EXPECT_FALSE(rig.sim.imsReceptionOn());
    type("/pr My Room");
    EXPECT_EQ(rig.sim.keywords().back(), "aol://2719:2-2-My Room");
    EXPECT_EQ(rig.sim.currentRoom(), "My Room");
}

TEST_F(ChatCommands, OtherMembersAndHostileLinesGetNothingDone) {
    for (const char* typed : {"/exit", "/play alpha", "/trig !", "/x bob", "/mini", "/idle x"})
        rig.memberSays("Bob", typed);
    rig.memberSays("testuser", "/exit");  // another spelling is another member
    const QString huge(100 * 1024, 'x');
    type("/play " + huge);
    type(huge);
    emit rig.chtMelodrop().ChatLine(kUser, "/stop\r\n/exit");
    emit rig.chtMelodrop().ChatLine(kUser, QString::fromUtf8("/exit\0", 6));
    emit rig.chtMelodrop().ChatLine(kUser, "/play \x01\x1b[2J");
    EXPECT_FALSE(m->ended());
    EXPECT_TRUE(rig.takeLines().filter("<Font").isEmpty());
    EXPECT_TRUE(rig.player.calls.isEmpty());
    EXPECT_TRUE(rig.settings.writes.isEmpty());
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
    EXPECT_FALSE(rig.sim.isIgnored("Bob"));
    EXPECT_EQ(type("/song?"), QStringList{line(Announcement::Song, "mp3 name")});
}

TEST_F(ChatCommands, TheMenuEntriesSwitchTheScannerAndOpenTheHelp) {
    m->menuTriggered("chatcommands");
    EXPECT_FALSE(rig.chtMelodrop().isScanning());
    type("/play alpha");
    m->menuTriggered("chatcommands");
    EXPECT_TRUE(rig.chtMelodrop().isScanning());
    EXPECT_EQ(rig.settings.writes, (QStringList{"chatcommands=false", "chatcommands=true"}));
    EXPECT_TRUE(rig.player.calls.isEmpty());
    m->menuTriggered("viewcommands");
    EXPECT_EQ(rig.desktop.requests, QStringList{"shell " + rig.ctx().files.commandsFile()});
    rig.settle();
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

}  // namespace
