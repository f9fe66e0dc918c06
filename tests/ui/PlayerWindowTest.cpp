// The player window on the program's logic (simulated room, fake media player and desktop):
// its layout, and what clicks, presses, double-clicks and slider moves on it do.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QMenu>
#include <QSet>
#include <QSlider>
#include <QTest>

#include "fakes/TestRig.h"
#include "ui/HotArea.h"
#include "ui/NowPlaying.h"
#include "ui/PlayerLayout.h"
#include "ui/PlayerWindow.h"
#include "ui/SkinPicture.h"
#include "ui/TrackListView.h"

using namespace melodrop;
using namespace melodrop::testing;
using melodrop::ui::PlayerWindow;

namespace {

class PlayerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.addMp3s(
            {QStringLiteral("Alpha.mp3"), QStringLiteral("beta.MP3"), QStringLiteral("gamma.mp3")});
        rig.settings.values[QStringLiteral("random")] = QStringLiteral("false");
        rig.load();
        window = std::make_unique<PlayerWindow>(rig.program());
        window->show();
        rig.desktop.requests.clear();
        rig.takeLines();
    }

    QWidget* child(const char* name) const {
        QWidget* w = window->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    void press(const char* name) { QTest::mousePress(child(name), Qt::LeftButton); }

    TestRig rig;
    std::unique_ptr<PlayerWindow> window;
};

TEST_F(PlayerWindowTest, IsABorderlessToolWindowOfTheFaceSize) {
    EXPECT_EQ(window->objectName(), QStringLiteral("frmMain"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("melodrop"));
    EXPECT_EQ(window->size(), QSize(148, 90));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());  // not resizable
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));  // no task-bar button
    EXPECT_TRUE(window->isOnTop());                         // alwaysontop is on by default
    EXPECT_EQ(child("imgPic")->geometry(), QRect(0, 0, 148, 90));
}

TEST_F(PlayerWindowTest, HotAreasListAndSliderSitWhereTheFaceDrawsThem) {
    struct Expected {
        const char* name;
        QRect rect;
        const char* tip;
    };
    // Twips divided by 15, each edge rounded.
    const Expected expected[] = {
        {"lblOptions", {0, 0, 19, 13}, "click for options"},
        {"lblTitleBar", {16, 0, 113, 17}, "double click to rollup"},
        {"lblExit", {128, 0, 17, 17}, "exit"},
        {"lblPlay", {0, 79, 12, 9}, "play"},
        {"lblPause", {11, 79, 9, 9}, "pause"},
        {"lblStop", {22, 80, 9, 9}, "stop"},
        {"lblRewind", {32, 79, 11, 9}, "rewind"},
        {"lbPrevious", {41, 79, 9, 9}, "previous"},
        {"lblForward", {51, 79, 11, 9}, "next"},
        {"lblFastForward", {61, 79, 12, 9}, "fast forward"},
        {"fileMP3s", {4, 16, 141, 57}, ""},
        {"Slider1", {78, 78, 65, 9}, "volume"},
    };
    for (const Expected& e : expected) {
        QWidget* w = child(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), e.rect) << e.name;
        EXPECT_EQ(w->toolTip(), QString::fromLatin1(e.tip)) << e.name;
    }
    auto* slider = window->volumeSlider();
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 100);
    EXPECT_EQ(slider->singleStep(), 1);
    EXPECT_EQ(slider->pageStep(), 5);
    EXPECT_EQ(slider->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(slider->value(), 90);
}

TEST_F(PlayerWindowTest, ListUsesTheSmallFontAndTheBuiltInColoursUntilASkinSetsThem) {
    const QFont font = window->trackList()->font();
    EXPECT_EQ(font.families().value(0), QStringLiteral("Small Fonts"));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 6.75);
    EXPECT_EQ(font.weight(), QFont::Normal);
    const QColor builtinBack = window->trackList()->palette().color(QPalette::Base);

    // What the list draws: its background below the last file, and the text of a row.
    auto drawn = [this] { return window->trackList()->grab().toImage(); };
    EXPECT_EQ(drawn().pixelColor(2, 54), builtinBack);

    rig.ctx().window.setListColors(QColor(255, 0, 0), QColor(0, 0, 255));
    const QImage skinned = drawn();
    EXPECT_EQ(skinned.pixelColor(2, 54), QColor(255, 0, 0));
    const QRect row = window->trackList()->visualRect(window->trackList()->model()->index(0, 0));
    bool textInForeColour = false;
    for (int x = row.left(); x <= row.right(); ++x)
        for (int y = row.top(); y <= row.bottom(); ++y)
            if (const QColor c = skinned.pixelColor(x, y); c.blue() > 160 && c.red() < 100)
                textInForeColour = true;
    EXPECT_TRUE(textInForeColour);
    EXPECT_NE(builtinBack, QColor(255, 0, 0));
}

TEST_F(PlayerWindowTest, TransportAreasDriveThePlayerOnAClick) {
    click("lblForward");  // nothing selected: next plays the first file
    EXPECT_EQ(rig.player.openedPath, rig.mp3Path(QStringLiteral("Alpha.mp3")));
    click("lbPrevious");  // from the first, previous wraps to the last
    EXPECT_EQ(rig.player.openedPath, rig.mp3Path(QStringLiteral("gamma.mp3")));
    click("lblPause");
    click("lblStop");
    rig.player.position = 20;
    click("lblFastForward");
    click("lblRewind");
    click("lblPlay");  // paused: play resumes
    EXPECT_EQ(
        rig.player.calls.mid(2),
        (QStringList{QStringLiteral("Pause"), QStringLiteral("Stop"), QStringLiteral("Position 25"),
                     QStringLiteral("Position 20"), QStringLiteral("Play")}));
    // Announced in the room, as advertise is on.
    EXPECT_EQ(rig.takeLines().size(), 5);
}

TEST_F(PlayerWindowTest, AClickNeedsPressAndReleaseInsideWithTheLeftButton) {
    QWidget* play = child("lblPlay");
    QTest::mousePress(play, Qt::LeftButton);
    EXPECT_TRUE(rig.player.calls.isEmpty());                       // a press alone is no click
    QTest::mouseRelease(play, Qt::LeftButton, {}, QPoint(60, 5));  // released outside
    QTest::mouseClick(play, Qt::RightButton);
    QTest::mouseClick(play, Qt::MiddleButton);
    EXPECT_TRUE(rig.player.calls.isEmpty());

    // A double-click arrives as press, release, press, double-click, release: one click.
    QWidget* next = child("lblForward");
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mousePress(next, Qt::LeftButton);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(3, 3),
                            QPointF(next->mapToGlobal(QPoint(3, 3))), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(next, &doubleClick);
    QTest::mouseRelease(next, Qt::LeftButton);
    EXPECT_EQ(rig.player.opens().size(), 1);
}

TEST_F(PlayerWindowTest, ExitAsksOnAPressAndNoBringsTheWindowBack) {
    rig.desktop.messageAnswers.enqueue(MessageAnswer::No);
    press("lblExit");
    EXPECT_EQ(rig.desktop.requests, (QStringList{QStringLiteral("minimize"),
                                                 QStringLiteral("message melodrop|are you sure "
                                                                "you want to exit?"),
                                                 QStringLiteral("restore")}));
    EXPECT_FALSE(rig.desktop.quitRequested);
    QTest::mouseClick(child("lblExit"), Qt::RightButton);
    EXPECT_EQ(rig.desktop.requests.size(), 3);
}

TEST_F(PlayerWindowTest, DoubleClickOnTheTitleBandRollsTheWindowUpAndDown) {
    QTest::mouseDClick(child("lblTitleBar"), Qt::LeftButton);
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("rollup")), QStringLiteral("true"));
    rig.clock.advance(1.0);  // 45 ticks of the roll timer and more
    EXPECT_EQ(window->size(), QSize(148, 15));
    EXPECT_EQ(child("lblTitleBar")->toolTip(), QStringLiteral("double click to rolldown"));
    EXPECT_EQ(rig.program().state().rollupCaption, QStringLiteral("- rolldown"));

    QTest::mouseDClick(child("lblTitleBar"), Qt::LeftButton);
    rig.clock.advance(0.02);
    EXPECT_GT(window->height(), 15);  // half-way
    EXPECT_LT(window->height(), 90);
    rig.clock.advance(1.0);
    EXPECT_EQ(window->size(), QSize(148, 90));
    EXPECT_EQ(child("lblTitleBar")->toolTip(), QStringLiteral(" double click to rollup"));
}

TEST_F(PlayerWindowTest, SliderReportsTheUsersMovesButNotTheProgramsOwn) {
    QSlider* slider = window->volumeSlider();
    slider->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(rig.player.volume, 85 * 25 - 2500);
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("vol")), QStringLiteral("85"));

    const int writes = rig.settings.writes.size();
    rig.ctx().window.setSlider(40);  // e.g. the vol command
    EXPECT_EQ(slider->value(), 40);
    EXPECT_EQ(rig.settings.writes.size(), writes);  // no echo back into the logic
}

TEST_F(PlayerWindowTest, ListSelectionFollowsTheTrackListBothWays) {
    auto* list = window->trackList();
    ASSERT_EQ(list->model()->rowCount(), 3);
    rig.ctx().tracks.select(2);
    EXPECT_EQ(list->currentIndex().row(), 2);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(2, {}));

    const QRect first = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(rig.ctx().tracks.selectedIndex(), 0);

    QTest::mouseMove(list->viewport(), first.center() + QPoint(1, 0));
    EXPECT_EQ(list->toolTip(), QStringLiteral("Alpha.mp3"));

    rig.ctx().tracks.select(-1);
    EXPECT_FALSE(list->selectionModel()->hasSelection());
    QTest::mouseMove(list->viewport(), first.center());
    EXPECT_EQ(list->toolTip(), QString());
}

TEST_F(PlayerWindowTest, DoubleClickOnAFilePlaysIt) {
    auto* list = window->trackList();
    const QRect second = list->visualRect(list->model()->index(1, 0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(rig.player.openedPath, rig.mp3Path(QStringLiteral("beta.MP3")));
    EXPECT_EQ(rig.program().lblMP3Name(), QStringLiteral("beta.MP3"));
}

TEST_F(PlayerWindowTest, PressingThePictureOrTitleBandDragsTheWindow) {
    window->move(100, 100);
    const QPoint start = window->pos();
    QWidget* picture = child("imgPic");
    // A spot of bare picture: between the list and the transport row.
    const QPoint spot(100, 76);
    ASSERT_EQ(window->childAt(spot), picture);
    QTest::mousePress(picture, Qt::LeftButton, {}, spot);
    QMouseEvent move(QEvent::MouseMove, QPointF(spot + QPoint(30, 20)),
                     QPointF(picture->mapToGlobal(spot) + QPoint(30, 20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    QTest::mouseRelease(picture, Qt::LeftButton, {}, spot + QPoint(30, 20));
    EXPECT_EQ(window->pos(), start + QPoint(30, 20));
    EXPECT_TRUE(rig.player.calls.isEmpty());
}

// A click gives the slider the keyboard; arrows move it by 1, page keys by 5, and each move
// sets the volume and stores it, as a move with the mouse does.
TEST_F(PlayerWindowTest, TheSliderTakesTheKeyboard) {
    QSlider* slider = window->volumeSlider();
    EXPECT_TRUE(slider->focusPolicy() & Qt::ClickFocus);
    EXPECT_TRUE(slider->focusPolicy() & Qt::TabFocus);
    QTest::mouseClick(slider, Qt::LeftButton, {}, slider->rect().center());
    ASSERT_EQ(window->focusWidget(), slider);

    const auto key = [&](Qt::Key k) { QTest::keyClick(window->focusWidget(), k); };
    slider->setValue(50);
    key(Qt::Key_Right);
    EXPECT_EQ(slider->value(), 51);
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(slider->value(), 49);
    key(Qt::Key_PageUp);
    EXPECT_EQ(slider->value(), 54);
    key(Qt::Key_PageDown);
    key(Qt::Key_PageDown);
    EXPECT_EQ(slider->value(), 44);
    EXPECT_EQ(rig.player.volume, 44 * 25 - 2500);
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("vol")), QStringLiteral("44"));
    EXPECT_EQ(rig.ctx().window.slider(), 44);
}

TEST_F(PlayerWindowTest, ShowsExactlyThePictureTheLogicDecoded) {
    const QImage builtin = window->picture()->image();
    QImage blue(148, 90, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    rig.ctx().window.setPicture(rig.programFolder() + QStringLiteral("/skins/good.bmp"), blue);
    EXPECT_EQ(window->picture()->image(), blue);
    EXPECT_EQ(rig.ctx().window.picturePath(),
              rig.programFolder() + QStringLiteral("/skins/good.bmp"));

    rig.ctx().window.setPicture(QString(), QImage());
    EXPECT_EQ(window->picture()->image(), builtin);
    EXPECT_TRUE(rig.ctx().window.picturePath().isEmpty());
}

}  // namespace

namespace {

// The keyboard alone: Enter on the list plays the selected file, Space pauses and resumes
// (not on a hot area, where it presses the area), Tab reaches the hot areas and Enter presses
// them, the Menu key and Shift+F10 open the options menu; the focused control shows a mark.
TEST_F(PlayerWindowTest, TheKeyboardReachesEverything) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* list = window->trackList();
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Down);  // nothing was selected: the first file
    EXPECT_EQ(rig.ctx().tracks.selectedIndex(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(rig.ctx().tracks.selectedIndex(), 1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(rig.player.openedPath, rig.mp3Path(QStringLiteral("beta.MP3")));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_TRUE(rig.ctx().window.paused());
    EXPECT_EQ(rig.ctx().tracks.selectedIndex(), 1);  // Space does not touch the selection
    QTest::keyClick(window->volumeSlider(), Qt::Key_Space);
    EXPECT_FALSE(rig.ctx().window.paused());
    EXPECT_EQ(rig.player.calls.mid(1), (QStringList{"Pause", "Play"}));

    // Tab order: the list, the slider, then the hot areas as the face lays them out.
    QStringList order;
    QWidget* w = list;
    for (int i = 0; i < 12; ++i) {
        order << w->objectName();
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
    }
    EXPECT_EQ(order, (QStringList{"fileMP3s", "Slider1", "lblOptions", "lblTitleBar", "lblExit",
                                  "lblPlay", "lblPause", "lblStop", "lblRewind", "lbPrevious",
                                  "lblForward", "lblFastForward"}));
    auto* stop = window->hotArea(QStringLiteral("lblStop"));
    stop->setFocus();
    QTest::keyClick(stop, Qt::Key_Return);
    EXPECT_EQ(rig.player.calls.last(), "Stop");
    auto* title = window->hotArea(QStringLiteral("lblTitleBar"));
    QTest::keyClick(title, Qt::Key_Space);  // the title band rolls, as a double-click
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("rollup")), QStringLiteral("true"));

    // The focus mark: the focused control draws a frame in black and white, which it does not
    // draw unfocused.
    const QImage marked = stop->grab().toImage();
    list->setFocus();
    EXPECT_NE(stop->grab().toImage(), marked);
    QSet<QRgb> edge;
    for (int x = 0; x < marked.width(); ++x) edge << marked.pixel(x, 0);
    EXPECT_TRUE(edge.contains(qRgb(0, 0, 0)) && edge.contains(qRgb(255, 255, 255)));

    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        QTest::keyClick(list, key, modifiers);
        QMenu* menu = window->popupMenu();
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(menu->objectName(), QStringLiteral("options"));
        menu->close();
        QCoreApplication::processEvents();
    }
}

TEST_F(PlayerWindowTest, EveryControlHasAnAccessibleNameAndDescription) {
    QStringList controls{"frmMain", "imgPic", "fileMP3s", "Slider1"};
    for (const auto& area : ui::kHotAreas) controls << QString::fromLatin1(area.name);
    QStringList names;
    for (const QString& control : controls) {
        QWidget* w = control == "frmMain" ? window.get() : child(qPrintable(control));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << qPrintable(control);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << qPrintable(control);
        if (control != "frmMain") {  // the window's description is what plays
            EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << qPrintable(control);
        }
        names << a->text(QAccessible::Name);
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), controls.size());  // each its own

    // A hot area is a button whose press action is a click.
    QAccessibleInterface* play = QAccessible::queryAccessibleInterface(child("lblPlay"));
    EXPECT_EQ(play->role(), QAccessible::Button);
    EXPECT_EQ(play->text(QAccessible::Name), QStringLiteral("Play"));
    ASSERT_NE(play->actionInterface(), nullptr);
    play->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(rig.player.openedPath, rig.mp3Path(QStringLiteral("Alpha.mp3")));
}

TEST_F(PlayerWindowTest, TheWindowsTooltipTellsWhatPlaysAndWhere) {
    EXPECT_EQ(window->toolTip(), QString());
    rig.player.length = 225;
    window->trackList()->setFocus();
    rig.program().playListed(0);
    EXPECT_EQ(window->toolTip(), QStringLiteral("Alpha.mp3 - 0:00 / 3:45"));
    rig.player.position = 62;
    rig.clock.advance(1.0);  // the tooltip follows the position once a second
    EXPECT_EQ(window->toolTip(), QStringLiteral("Alpha.mp3 - 1:02 / 3:45"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.get())->text(QAccessible::Description),
              QStringLiteral("Alpha.mp3 - 1:02 / 3:45"));
    rig.program().pause();
    EXPECT_EQ(window->toolTip(), QStringLiteral("Alpha.mp3 - 1:02 / 3:45 (paused)"));
    rig.program().stop();
    EXPECT_EQ(window->toolTip(), QString());
    EXPECT_EQ(ui::clockText(3725.9), QStringLiteral("1:02:05"));
    EXPECT_EQ(ui::clockText(-3), QStringLiteral("0:00"));
}

}  // namespace
