// Every command typed in the simulated room, as a table: after some lines typed first, what the
// last line makes the room read, the media player do, the settings store keep and the desktop
// show.
#include "base/TrackList.h"
#include "chat/CommandRig.h"

using namespace melodrop;
using namespace melodrop::testing;
using A = Announcement;

namespace {

struct Row {
    QStringList typed;  // the last line is the one observed
    QStringList lines;
    QStringList calls = {};    // "{mp3}" stands for the MP3 folder
    QStringList records = {};  // settings writes, then desktop requests; "{program}" likewise
    bool advertise = true;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.typed.join(" ; ").toStdString();
}

QString L(A kind, const QString& value = {}) {
    return announcementLine(kind, value);
}

// Built when the tests are registered, after the line texts exist.
std::vector<Row> rows() {
    return {
        // Playback: play by name from the folder text, the list untouched.
        {{"/play LOVE"}, {L(A::Playing, "beta love.mp3")}, {"Open {mp3}/Beta Love.mp3"}},
        {{"/play zebra"}, {}},
        {{"/play alpha"}, {}, {"Open {mp3}/Alpha.mp3"}, {}, false},
        {{"/next", "/prev", "/next"}, {L(A::Playing, "alpha.mp3")}, {"Open {mp3}/Alpha.mp3"}},
        {{"/next", "/prev"}, {L(A::Previous, "love song.mp3")}, {"Open {mp3}/love song.mp3"}},
        {{"/prev"}, {L(A::Previous, "")}, {"Open {mp3}/"}},  // nothing selected: nothing to open
        {{"/stop"}, {}},
        {{"/pause"}, {}},
        {{"/play beta", "/pause"}, {L(A::Paused, "beta love.mp3")}, {"Pause"}},
        {{"/play beta", "/unpause"}, {L(A::Upaused, "beta love.mp3")}, {"Play"}},
        {{"/play beta", "/stop"}, {L(A::Stopped, "beta love.mp3")}, {"Stop"}},
        {{"/play beta", "/stop "}, {}},
        {{"/song?"}, {L(A::Song, "mp3 name")}},
        // Seconds and levels: numbers as people type them, nothing for anything else.
        {{"/fwd 4", "/rwnd 10"}, {L(A::Rewind, "10")}, {"Position -6"}},
        {{"/fwd  2.5 "}, {L(A::FastForward, " 2.5 ")}, {"Position 2.5"}},
        {{"/fwd 1E2"}, {L(A::FastForward, "1e2")}, {"Position 100"}},
        {{"/fwd abc"}, {}},
        {{"/fwd nan"}, {}},
        {{"/rwnd inf"}, {}},
        {{"/fwd 1e400"}, {}},
        {{"/fwd 1,5"}, {}},
        {{"/fwd 0x10"}, {}},
        {{"/fwd "}, {}},
        {{"/vol 40"}, {L(A::SetVolume, "40")}, {"Volume -1500"}, {"vol=40"}},
        {{"/vol 0"}, {L(A::SetVolume, "0")}, {"Volume -2500"}, {"vol=0"}},
        {{"/vol 50.5"}, {L(A::SetVolume, "50.5")}, {"Volume -1238"}, {"vol=50"}},
        {{"/vol 65.1"},
         {L(A::SetVolume, "65.1")},
         {"Volume -872"},
         {"vol=65"}},  // -872.5000000000002
        {{"/vol 150"}, {}},
        {{"/vol -1"}, {}},
        {{"/vol NaN"}, {}},
        {{"/vol 100.01"}, {}},
        {{"/vol 33", "/vol?"}, {L(A::Volume, "33")}},
        // Folder and switches.
        {{"/refresh"}, {L(A::Mp3ListRefreshed)}},
        {{"/counton"}, {L(A::SetContinuousOn)}, {}, {"continuous=true"}},
        {{"/countoff"}, {}, {}, {"continuous=false"}, false},
        {{"/randon"}, {L(A::SetRandomOn)}, {}, {"random=true"}},
        {{"/randoff"}, {L(A::SetRandomOff)}, {}, {"random=false"}},
        // Settings.
        {{"/trig !", "!trig?"}, {L(A::Trigger, "!")}},
        {{"/trig Zz", "Zztrig?"}, {}},  // seven characters: the numbers do not grow
        {{"/trig "}, {L(A::SetTrigger, "")}, {}, {"trig="}},
        {{"/play alpha", "/trig a b", "a b stop"}, {}},
        {{"/hndle zeph"}, {}},
        {{"/hndle Zeph"}, {L(A::Handle, "zeph")}, {}, {"hndle=Zeph"}},
        // Idle.
        {{"/idle Gone Fishing"}, {idleOnLine("Gone Fishing")}},
        {{"/idle away"}, {}, {}, {}, false},
        {{"/idleoff"}, {}},
        {{"/idle away", "/idleoff"}, {L(A::SetIdleOff)}, {}, {}, false},
        {{"/idlel x,abc"}, {}},
        {{"/idlel abc,de"}, {}},
        {{"/idlel    ,abc"}, {}},
        {{"/idlel abc,def"}, {L(A::SetIdleLinkerOn)}, {}, {}, false},
        {{"/idleloff "}, {L(A::SetIdleLinkerOff)}, {}, {}, false},
        // Members and the immune list.
        {{"/x BO"}, {L(A::Ignored, "bob")}},
        {{"/unx alice"}, {L(A::Unignored, "alice123")}},
        {{"/x zed"}, {}},
        {{"/imu BoB"}, {L(A::Immuned, "bob")}},
        {{"/imu Bobby", "/unimu OB"}, {L(A::Unimmuned, "bobby")}, {}, {}, false},
        {{"/unimu zed"}, {}},
        {{"/vimu"}, {L(A::ViewingImmune)}, {}, {"shell {program}/immune.txt"}},
        {{"/ax abc"}, {}},
        {{"/ax 3"}, {L(A::SetAutoXer, "3")}},
        {{"/axoff now"}, {L(A::SetAutoXerOff)}},
        // The client and the window.
        {{"/imsoff"}, {L(A::SetImsOff)}},
        {{"/imsoff"}, {}, {}, {}, false},
        {{"/bust it up"}, {}},
        {{"/foo"}, {}},
        {{"/PLAY alpha"}, {}},
        {{"/vcmds"}, {L(A::ViewingChatCommands)}, {}, {"shell {program}/commands.txt"}},
        {{"/show"}, {}},
        {{"/mini"}, {L(A::MelodropMinimized)}, {}, {"tray add melodrop by zeph", "hide"}},
        {{"/mini", "/show"}, {L(A::MelodropShown)}, {}, {"show", "tray remove"}},
        {{"/exit"}, {}, {}, {"quit"}},
    };
}

class CommandEffects : public CommandTest, public ::testing::WithParamInterface<Row> {
protected:
    QStringList expand(QStringList texts) {
        for (QString& t : texts)
            t.replace("{mp3}/", joinTrackPath(rig.mp3Folder(), ""))
                .replace("{program}/", rig.ctx().files.programFolder() + QDir::separator());
        return texts;
    }
};

TEST_P(CommandEffects, AsTheRoomAndThePlatformSeeThem) {
    const Row& row = GetParam();
    for (qsizetype i = 0; i + 1 < row.typed.size(); ++i) type(row.typed[i]);
    clearRecords();
    state().advertise = row.advertise;
    EXPECT_EQ(type(row.typed.last()), row.lines);
    EXPECT_EQ(rig.player.calls, expand(row.calls));
    EXPECT_EQ(rig.settings.writes + rig.desktop.requests, expand(row.records));
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandEffects, ::testing::ValuesIn(rows()));

}  // namespace
