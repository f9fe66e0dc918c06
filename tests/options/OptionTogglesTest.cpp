// The plain toggles of the options menu and the menu model they show in.
#include <gtest/gtest.h>

#include <functional>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"

using namespace melodrop;
using namespace melodrop::testing;

TEST(OptionToggles, EachToggleFlipsSavesAndShowsInTheMenu) {
    TestRig rig;
    Melodrop& m = rig.load();
    rig.takeLines();
    for (const char* name : {"alwaysontop", "advertise", "continuous", "random"}) {
        const bool before = findMenuItem(m.optionsMenu(), name)->checked;
        m.menuTriggered(name);
        EXPECT_EQ(findMenuItem(m.optionsMenu(), name)->checked, !before) << name;
        EXPECT_EQ(rig.settings.values[name], before ? "false" : "true") << name;
    }
    EXPECT_FALSE(rig.desktop.onTop);  // takes effect at once
    // advertise went off before continuous changed: nothing was said.
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST(OptionToggles, ContinuousAnnouncesOnceWhileAdvertising) {
    TestRig rig;
    Melodrop& m = rig.load();
    rig.takeLines();
    m.menuTriggered("continuous");
    m.menuTriggered("continuous");
    EXPECT_EQ(rig.takeLines(), (QStringList{announcementLine(Announcement::SetContinuousOff),
                                            announcementLine(Announcement::SetContinuousOn)}));
}

TEST(OptionsMenu, TreeInDisplayOrderWithTheUnavailableItem) {
    TestRig rig;
    const MenuItem root = rig.load().optionsMenu();
    QStringList top;
    for (const MenuItem& i : root.children) top << i.caption;
    EXPECT_EQ(
        top, (QStringList{"- always on top", "-", "- mp3 player options", "-", "- aol options", "-",
                          "- skins", "-", "- default mp3 player", "-", "- check for updates",
                          "- about", "- rollup", "- minimize to systray"}));
    EXPECT_FALSE(findMenuItem(root, "defaultmp3player")->enabled);
    EXPECT_EQ(findMenuItem(root, "mp3playeroptions")->children.size(), 16);
    EXPECT_EQ(findMenuItem(root, "aoloptions")->children.size(), 9);
    EXPECT_EQ(findMenuItem(root, "linkstatus")->caption, "- simulated room");
}

// Every item meant to act is bound to its action; the items that do not act are deliberate: the
// separators, the submenus, the greyed-out default-player line and the link's status line. Choosing
// one of those, or a name the menu does not have, does nothing and says so.
TEST(OptionsMenu, EveryItemThatActsHasItsActionAndTheOthersAreDeliberate) {
    TestRig rig;
    Melodrop& m = rig.load();
    int acting = 0;
    QStringList inert;
    std::function<void(const MenuItem&)> walk = [&](const MenuItem& item) {
        for (const MenuItem& child : item.children) {
            if (child.kind == MenuItemKind::Action) {
                EXPECT_TRUE(child.action) << child.name.toStdString();
                ++acting;
            } else if (child.kind != MenuItemKind::Separator) {
                inert << child.name;
            }
            walk(child);
        }
    };
    walk(m.optionsMenu());
    EXPECT_EQ(acting, 23);
    EXPECT_EQ(inert, (QStringList{"mp3playeroptions", "aoloptions", "linkstatus", "skins",
                                  "defaultmp3player"}));
    for (const char* name : {"defaultmp3player", "linkstatus", "skins", "bar9", "nosuchitem"})
        EXPECT_FALSE(m.menuTriggered(name)) << name;
    EXPECT_TRUE(m.menuTriggered("advertise"));
}
