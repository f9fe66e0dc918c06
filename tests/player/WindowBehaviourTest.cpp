// Rolling up and down, the exit question, the tray and the about box.
#include <gtest/gtest.h>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"
#include "player/WindowBehaviour.h"

using namespace melodrop;
using namespace melodrop::testing;

TEST(Roll, RollsUpInSteps_ThenCaptionAndTooltipChange) {
    TestRig rig;
    Melodrop& m = rig.load();
    QList<int> heights;
    QObject::connect(&m.window(), &PlayerWindowModel::changed,
                     [&] { heights << m.window().heightTwips(); });
    m.rollToggle();
    EXPECT_EQ(rig.settings.values["rollup"], "true");
    rig.settle(0.02);
    EXPECT_EQ(m.state().rollupCaption, "- rollup");  // only when the animation ends
    rig.settle(0.1);
    EXPECT_EQ(m.window().heightTwips(), 225);
    EXPECT_EQ(m.state().rollupCaption, "- rolldown");
    EXPECT_EQ(m.window().titleTooltip(), "double click to rolldown");
    EXPECT_EQ(heights.first(), 1325);
    EXPECT_EQ(std::count_if(heights.begin(), heights.end(), [](int h) { return h < 225; }), 0);

    m.rollToggle();
    EXPECT_EQ(rig.settings.values["rollup"], "false");
    rig.settle(0.2);
    EXPECT_EQ(m.window().heightTwips(), 1350);
    EXPECT_EQ(m.state().rollupCaption, "- rollup");
    EXPECT_EQ(m.window().titleTooltip(), " double click to rollup");
}

TEST(Roll, MenuItemRollsToo_AndToggleDuringAnAnimationChangesNothing) {
    TestRig rig;
    Melodrop& m = rig.load();
    m.menuTriggered("rollup");
    rig.settle(0.01);
    m.rollToggle();  // caption still "- rollup": the same animation goes on
    rig.settle(0.2);
    EXPECT_EQ(m.window().heightTwips(), 225);
}

TEST(Roll, MinimizedWindowCannotRoll_ErrorBoxAndFullHeight) {
    TestRig rig;
    Melodrop& m = rig.load();
    m.rollToggle();
    rig.settle(0.005);
    rig.desktop.minimized = true;
    rig.settle(0.1);
    EXPECT_EQ(rig.desktop.requestsStartingWith("message melodrop|"),
              QStringList{"message melodrop|an error occured while rolling up form."});
    EXPECT_EQ(rig.desktop.messageIcons.last(), MessageIcon::Critical);
    EXPECT_EQ(m.window().heightTwips(), 1350);
    EXPECT_EQ(m.window().titleTooltip(), "double click to rolldown");
    EXPECT_EQ(m.state().rollupCaption, "- rollup");
    EXPECT_EQ(rig.settings.values["rollup"], "true");
}

TEST(Exit, NoRestoresAndSaysNothing) {
    TestRig rig;
    Melodrop& m = rig.load();
    rig.takeLines();
    rig.desktop.messageAnswers.enqueue(MessageAnswer::No);
    m.exit();
    EXPECT_TRUE(rig.desktop.requests.contains("message melodrop|are you sure you want to exit?"));
    EXPECT_EQ(rig.desktop.messageIcons.last(), MessageIcon::Question);
    EXPECT_EQ(rig.desktop.requests.last(), "restore");
    EXPECT_FALSE(m.ended());
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST(Exit, YesWithAdvertiseSaysGoodbyeThenEnds) {
    TestRig rig;
    rig.addMp3s({"a.mp3", "b.mp3"});
    rig.settings.values["hndle"] = "Zed";
    Melodrop& m = rig.load();
    rig.takeLines();
    const double before = rig.clock.Now();
    m.exit();
    EXPECT_EQ(rig.takeLines(),
              (QStringList{unloadedBanner(), userLine("zed", 2, kServer + "/zeph/melodrop/")}));
    EXPECT_GE(rig.clock.Now() - before, 0.8);
    EXPECT_TRUE(rig.desktop.requests.contains("tray remove"));
    EXPECT_TRUE(rig.desktop.quitRequested);
    EXPECT_TRUE(m.ended());
    // Nothing runs after the end.
    m.next();
    EXPECT_TRUE(rig.player.opens().isEmpty());
}

TEST(Exit, YesWithAdvertiseOffEndsSilently) {
    TestRig rig;
    rig.settings.values["advertise"] = "false";
    Melodrop& m = rig.load();
    m.exit();
    EXPECT_TRUE(rig.takeLines().isEmpty());
    EXPECT_TRUE(rig.desktop.quitRequested);
}

TEST(Tray, MinimizeToTrayThenALeftPressBringsTheWindowBack) {
    TestRig rig;
    Melodrop& m = rig.load();
    rig.takeLines();
    m.menuTriggered("minimizetosystray");
    EXPECT_TRUE(rig.desktop.trayIcon);
    EXPECT_TRUE(rig.desktop.requests.contains("tray add melodrop by zeph"));
    EXPECT_FALSE(rig.desktop.visible);
    m.trayMouse(0x204 * 15);  // right button down
    m.trayMouse(0x200 * 15);  // mouse move
    m.trayMouse(0x203 * 15);  // double-click
    EXPECT_FALSE(rig.desktop.visible);
    m.trayMouse(0x201 * 15);  // left button down
    EXPECT_TRUE(rig.desktop.visible);
    EXPECT_FALSE(rig.desktop.trayIcon);
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST(About, ThreeLinesWithTheBuildNumber_WindowComesBack) {
    TestRig rig;
    Melodrop& m = rig.load();
    rig.desktop.requests.clear();
    m.menuTriggered("about");
    EXPECT_EQ(rig.desktop.requests,
              (QStringList{"minimize",
                           "message melodrop|version: beta 1 [build 0.0.2]\rprogrammed by: zeph \r",
                           "restore"}));
}
