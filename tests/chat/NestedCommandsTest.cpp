// Lines the user types while one of the user's own commands still waits on the chat client go the
// whole real way (client, transcript scanner, dispatcher, command) inside that wait, and are
// dispatched in full there.
#include "chat/CommandRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

using NestedCommands = CommandTest;

TEST_F(NestedCommands, ALineTypedWhileTheUsersIgnoreWaitsIsDispatchedAtOnce) {
    // "/x bo" waits for Bob's member window, clicks its ignore box, closes it; while the window is
    // open the user types "/play love".
    bool typed = false;
    bool openedDuringTheIgnore = false;
    rig.clock.addPumpHook([&] {
        if (!typed && rig.sim.isMemberWindowOpen("Bob")) {
            typed = true;
            rig.sim.userTypes("/play love");
        }
        if (typed && !openedDuringTheIgnore && !rig.player.calls.isEmpty())
            openedDuringTheIgnore = rig.sim.isMemberWindowOpen("Bob");
    });
    const QStringList lines = type("/x bo");
    ASSERT_TRUE(typed);
    EXPECT_TRUE(rig.sim.isIgnored("Bob"));
    EXPECT_EQ(rig.player.calls, QStringList{"Open " + rig.mp3Path("Beta Love.mp3")});
    EXPECT_TRUE(openedDuringTheIgnore);
    EXPECT_EQ(lines, (QStringList{line(Announcement::Ignored, "bob"), "/play love",
                                  line(Announcement::Playing, "Beta Love.mp3")}));
    EXPECT_EQ(lblMP3Name(), QStringLiteral("Beta Love.mp3"));
}

TEST_F(NestedCommands, SeveralLinesDuringAWaitKeepTheirOrder) {
    int typed = 0;
    rig.clock.addPumpHook([&] {
        if (typed == 0 && rig.sim.isMemberWindowOpen("Bob")) {
            typed = 1;
            rig.sim.userTypes("/play gamma");
            rig.sim.userTypes("/play alpha");
        }
    });
    type("/x bo");
    EXPECT_EQ(rig.player.calls, (QStringList{"Open " + rig.mp3Path("Gamma.mp3"),
                                             "Open " + rig.mp3Path("Alpha.mp3")}));
    EXPECT_EQ(lblMP3Name(), QStringLiteral("Alpha.mp3"));
}

}  // namespace
