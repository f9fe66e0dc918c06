// The popup menus of the player window: the whole options menu on the options area, the
// "- mp3 player options" submenu alone on a right press in the file list.
#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "fakes/TestRig.h"
#include "ui/HotArea.h"
#include "ui/PlayerWindow.h"
#include "ui/TrackListView.h"

using namespace melodrop;
using namespace melodrop::testing;
using melodrop::ui::PlayerWindow;

namespace {

// "name" for an item, "name>" for a submenu, "-name" for a separator; a check mark adds "*",
// a greyed-out item "~".
QStringList describe(const QMenu* menu) {
    QStringList out;
    for (const QAction* action : menu->actions()) {
        QString text =
            action->isSeparator() ? QLatin1Char('-') + action->objectName() : action->objectName();
        if (action->menu()) text += QLatin1Char('>');
        if (action->isChecked()) text += QLatin1Char('*');
        if (!action->isEnabled()) text += QLatin1Char('~');
        out << text;
    }
    return out;
}

QMenu* submenu(QMenu* menu, const QString& name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == name) return action->menu();
    return nullptr;
}

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.addMp3s({QStringLiteral("one.mp3"), QStringLiteral("two.mp3")});
        rig.settings.values[QStringLiteral("random")] = QStringLiteral("false");
        rig.load();
        window = std::make_unique<PlayerWindow>(rig.program());
        window->show();
        rig.desktop.requests.clear();
    }
    void TearDown() override {
        if (QMenu* menu = window->popupMenu()) menu->hide();
    }

    TestRig rig;
    std::unique_ptr<PlayerWindow> window;
};

TEST_F(PopupMenuTest, OptionsAreaPopsUpTheWholeMenu) {
    QTest::mousePress(window->hotArea(QStringLiteral("lblOptions")), Qt::LeftButton);
    QMenu* menu = window->popupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->objectName(), QStringLiteral("options"));
    EXPECT_EQ(describe(menu),
              QStringList({"alwaysontop*", "-bar9", "mp3playeroptions>", "-bar8", "aoloptions>",
                           "-bar", "skins>", "-bar10", "defaultmp3player~", "-line",
                           "checkforupdates", "about", "rollup", "minimizetosystray"}));
    EXPECT_EQ(describe(submenu(menu, QStringLiteral("aoloptions"))),
              QStringList({"advertise*", "-line2", "idle", "idlelinker", "-line3", "chatcommands*",
                           "viewcommands", "-line4", "linkstatus"}));
    EXPECT_EQ(describe(submenu(menu, QStringLiteral("skins"))),
              QStringList({"changeskin", "skinfetch"}));
    const QAction* rollup = menu->findChild<QAction*>(QStringLiteral("rollup"));
    ASSERT_NE(rollup, nullptr);
    EXPECT_EQ(rollup->text(), QStringLiteral("- rollup"));
    EXPECT_EQ(menu->findChild<QAction*>(QStringLiteral("minimizetosystray"))->text(),
              QStringLiteral("- minimize to systray"));
}

// The link's status line is cut to a menu's width when long (a refusal says why at length); the
// whole of it is the item's tooltip.
TEST_F(PopupMenuTest, ALongStatusLineIsCutAndWholeInItsTooltip) {
    const std::string why = "refused: " + std::string(300, 'x');
    rig.ctx().link.set({aol::LinkState::Refused, 0, why, why});
    QTest::mousePress(window->hotArea(QStringLiteral("lblOptions")), Qt::LeftButton);
    QMenu* aol = submenu(window->popupMenu(), QStringLiteral("aoloptions"));
    ASSERT_NE(aol, nullptr);
    const QAction* status = aol->findChild<QAction*>(QStringLiteral("linkstatus"));
    ASSERT_NE(status, nullptr);
    const QString whole = QStringLiteral("- ") + QString::fromStdString(why);
    EXPECT_LT(status->text().size(), whole.size());
    EXPECT_EQ(status->toolTip(), whole);
    EXPECT_TRUE(aol->toolTipsVisible());
}

TEST_F(PopupMenuTest, ChoosingAnItemRunsItAndTheNextPopupShowsTheNewState) {
    QTest::mousePress(window->hotArea(QStringLiteral("lblOptions")), Qt::LeftButton);
    QMenu* menu = submenu(window->popupMenu(), QStringLiteral("aoloptions"));
    ASSERT_NE(menu, nullptr);
    menu->findChild<QAction*>(QStringLiteral("advertise"))->trigger();
    QCoreApplication::processEvents();  // the item runs once the menu is done
    EXPECT_FALSE(rig.program().state().advertise);
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("advertise")), QStringLiteral("false"));

    window->popupMenu()->hide();
    QTest::mousePress(window->hotArea(QStringLiteral("lblOptions")), Qt::LeftButton);
    EXPECT_EQ(describe(submenu(window->popupMenu(), QStringLiteral("aoloptions"))).value(0),
              QStringLiteral("advertise"));
}

TEST_F(PopupMenuTest, RightPressOnTheListPopsUpOnlyThePlayerSubmenu) {
    auto* list = window->trackList();
    rig.ctx().tracks.select(1);
    const QRect first = list->visualRect(list->model()->index(0, 0));
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, first.center());
    QMenu* menu = window->popupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("mp3playeroptions"));
    EXPECT_EQ(describe(menu), QStringList({"play", "stop", "pause", "unpause", "-bar2", "findmp3",
                                           "-bar12", "mp3name", "-bar5", "continuous*", "random",
                                           "-bar3", "setmp3dir", "refresh", "-bar4", "setvolume"}));
    // The right button does not move the selection.
    EXPECT_EQ(rig.ctx().tracks.selectedIndex(), 1);

    menu->findChild<QAction*>(QStringLiteral("play"))->trigger();
    QCoreApplication::processEvents();  // the item runs once the menu is done
    EXPECT_EQ(rig.player.openedPath, rig.mp3Path(QStringLiteral("two.mp3")));
}

TEST_F(PopupMenuTest, TheGreyedOutItemDoesNothing) {
    QTest::mousePress(window->hotArea(QStringLiteral("lblOptions")), Qt::LeftButton);
    QAction* item = window->popupMenu()->findChild<QAction*>(QStringLiteral("defaultmp3player"));
    ASSERT_NE(item, nullptr);
    item->trigger();  // disabled actions do not trigger
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.desktop.requests.isEmpty());
}

}  // namespace
