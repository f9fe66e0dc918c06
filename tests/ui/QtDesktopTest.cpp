// The real desktop driving the real player window: window states, the tray and its stand-in,
// modal questions, the single-instance lock and the end of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "fakes/TestRig.h"
#include "ui/HotArea.h"
#include "ui/NowPlaying.h"
#include "ui/OtherStarts.h"
#include "ui/PlayerWindow.h"
#include "ui/QtDesktop.h"

using namespace melodrop;
using namespace melodrop::testing;
using namespace melodrop::ui;

namespace {

// Answers the next modal dialog as soon as it is up: checks on every turn of the event loop
// (no waiting) until one is there, for as long as it lives.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            timer_.stop();
            answer_(modal);
        });
        timer_.start();
    }

private:
    std::function<void(QWidget*)> answer_;
    QTimer timer_;
};

void clickButton(QWidget* box, QMessageBox::StandardButton which) {
    auto* message = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(message, nullptr);
    message->button(which)->click();
}

class QtDesktopTest : public ::testing::Test {
protected:
    QtDesktopOptions options() {
        QtDesktopOptions o;
        o.lockFilePath = lockDir.filePath(QStringLiteral("melodrop.lock"));
        o.trayAvailable = [this] { return trayAvailable; };
        o.endProcess = [this] { ++ended; };
        return o;
    }

    void SetUp() override {
        QFile immune(rig.programFolder() + QStringLiteral("/immune.txt"));
        ASSERT_TRUE(immune.open(QIODevice::WriteOnly));
        immune.close();
        rig.settings.values[QStringLiteral("advertise")] = QStringLiteral("false");
        assembly = std::make_unique<Assembly>(rig.boundaries(desktop));
        melodrop = &assembly->program();
        melodrop->load();
        window = std::make_unique<PlayerWindow>(*melodrop);
        desktop.setPlayerWindow(window.get());
        connectToMelodrop(desktop, *melodrop);
        desktop.showPlayer();
    }

    QTemporaryDir lockDir;
    bool trayAvailable = false;
    int ended = 0;
    TestRig rig;
    QtDesktop desktop{options()};
    std::unique_ptr<Assembly> assembly;
    Melodrop* melodrop = nullptr;
    std::unique_ptr<PlayerWindow> window;
};

TEST_F(QtDesktopTest, MinimisedBorderlessWindowComesBackOnRestore) {
    EXPECT_TRUE(desktop.isPlayerVisible());
    desktop.minimizePlayer();
    EXPECT_TRUE(desktop.isPlayerMinimized());
    desktop.restorePlayer();
    EXPECT_FALSE(desktop.isPlayerMinimized());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(QtDesktopTest, AlwaysOnTopFollowsTheMenuAndKeepsTheWindowShown) {
    EXPECT_TRUE(window->isOnTop());
    melodrop->menuTriggered(QStringLiteral("alwaysontop"));
    EXPECT_FALSE(window->isOnTop());
    EXPECT_TRUE(window->isVisible());
    melodrop->menuTriggered(QStringLiteral("alwaysontop"));
    EXPECT_TRUE(window->isOnTop());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(QtDesktopTest, WithoutATrayHidingLeavesTheWindowInTheTaskBarAndItComesBack) {
    melodrop->menuTriggered(QStringLiteral("minimizetosystray"));
    EXPECT_EQ(desktop.trayIcon(), nullptr);
    EXPECT_TRUE(window->isInTaskbar());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::Tool));  // has a task-bar entry now
    EXPECT_FALSE(desktop.isPlayerVisible());

    // The user brings it back from the task bar: as a click on the tray icon would.
    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isInTaskbar());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(desktop.isPlayerVisible());
    EXPECT_FALSE(desktop.isPlayerMinimized());
}

TEST_F(QtDesktopTest, WithATrayHidingHidesAndOnlyALeftClickOnTheIconRestores) {
    trayAvailable = true;
    melodrop->menuTriggered(QStringLiteral("minimizetosystray"));
    QSystemTrayIcon* tray = desktop.trayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(tray->toolTip(), QStringLiteral("melodrop by zeph\nsimulated room"));
    EXPECT_FALSE(window->isVisible());

    emit tray->activated(QSystemTrayIcon::Context);
    emit tray->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_FALSE(window->isVisible());
    emit tray->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(tray->isVisible());
}

// The tray icon's tooltip is the program's own tip, then what plays and where (following it),
// then how the chat client is reached; the options menu has that too, as its status line.
TEST_F(QtDesktopTest, TheTrayTooltipTellsWhatPlaysAndHowTheClientIsReached) {
    trayAvailable = true;
    rig.addMp3s({QStringLiteral("love song.mp3")});
    melodrop->tracks().refresh();
    rig.player.length = 225;
    melodrop->playListed(0);
    melodrop->menuTriggered(QStringLiteral("minimizetosystray"));
    QSystemTrayIcon* tray = desktop.trayIcon();
    ASSERT_NE(tray, nullptr);
    const QString tip = QStringLiteral("melodrop by zeph\n");
    EXPECT_EQ(tray->toolTip(), tip + "love song.mp3 - 0:00 / 3:45\nsimulated room");
    rig.player.position = 62;
    rig.clock.advance(1.0);
    EXPECT_EQ(tray->toolTip(), tip + "love song.mp3 - 1:02 / 3:45\nsimulated room");
    melodrop->stop();
    EXPECT_EQ(tray->toolTip(), tip + "simulated room");

    melodrop->context().link.set({aol::LinkState::Connected, 42,
                                  "connected to the chat client (process 42)", "through ..."});
    EXPECT_EQ(tray->toolTip(), tip + "connected to the chat client (process 42)");
    const MenuItem menu = melodrop->optionsMenu();
    const MenuItem* status = findMenuItem(menu, QStringLiteral("linkstatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->caption, QStringLiteral("- connected to the chat client (process 42)"));
    EXPECT_EQ(status->kind, MenuItemKind::Display);
}

// A file from outside that cannot be played is told; the list stays as it was.
TEST_F(QtDesktopTest, AFileFromOutsideThatCannotPlayIsTold) {
    const QString before = melodrop->tracks().folder();
    QTemporaryDir other;
    QFile text(other.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.close();
    for (const QString& path : {text.fileName(), other.filePath(QStringLiteral("gone.mp3"))}) {
        QString told;
        ModalAnswer answer([&](QWidget* box) {
            told = qobject_cast<QMessageBox*>(box)->text();
            clickButton(box, QMessageBox::Ok);
        });
        playFileFromOutside(desktop, *melodrop, path);
        EXPECT_TRUE(told.startsWith("\"" + path + "\" cannot be played: ")) << qPrintable(told);
    }
    EXPECT_EQ(melodrop->tracks().folder(), before);
    EXPECT_TRUE(rig.player.opens().isEmpty());
}

TEST_F(QtDesktopTest, MessageBoxesCarryTitleIconButtonsAndAnswer) {
    QString seenTitle, seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    ModalAnswer answer1([&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        seenTitle = message->windowTitle();
        seenText = message->text();
        seenIcon = message->icon();
        EXPECT_NE(message->button(QMessageBox::Yes), nullptr);
        clickButton(box, QMessageBox::No);
    });
    EXPECT_EQ(desktop.messageBox(QStringLiteral("first\rsecond"), QStringLiteral("melodrop"),
                                 MessageIcon::Question, MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(seenTitle, QStringLiteral("melodrop"));
    EXPECT_EQ(seenText, QStringLiteral("first\nsecond"));
    EXPECT_EQ(seenIcon, QMessageBox::Question);

    ModalAnswer answer2([](QWidget* box) { box->close(); });  // the close box answers an OK box
    EXPECT_EQ(desktop.messageBox(QStringLiteral("x"), QStringLiteral("Error"),
                                 MessageIcon::Critical, MessageButtons::Ok),
              MessageAnswer::Ok);
}

TEST_F(QtDesktopTest, PromptGivesTheTextOrNothingOnCancel) {
    ModalAnswer answer3([](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->labelText(), QStringLiteral("enter volume level '1 - 100'"));
        input->setTextValue(QStringLiteral("40"));
        input->accept();
    });
    EXPECT_EQ(
        desktop.prompt(QStringLiteral("enter volume level '1 - 100'"), QStringLiteral("melodrop")),
        QStringLiteral("40"));
    ModalAnswer answer4([](QWidget* dialog) {
        qobject_cast<QInputDialog*>(dialog)->setTextValue(QStringLiteral("typed"));
        qobject_cast<QInputDialog*>(dialog)->reject();
    });
    EXPECT_EQ(desktop.prompt(QStringLiteral("mp3 to search for"), QStringLiteral("melodrop")),
              QString());
}

TEST_F(QtDesktopTest, ExitMinimisesAsksAndOnYesEndsTheProgram) {
    trayAvailable = true;
    ModalAnswer answer5([&](QWidget* box) {
        EXPECT_TRUE(window->isMinimized());
        clickButton(box, QMessageBox::No);
    });
    QTest::mousePress(window->hotArea(QStringLiteral("lblExit")), Qt::LeftButton);
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(ended, 0);

    melodrop->menuTriggered(QStringLiteral("minimizetosystray"));
    desktop.restorePlayer();
    ModalAnswer answer6([](QWidget* box) { clickButton(box, QMessageBox::Yes); });
    QTest::mousePress(window->hotArea(QStringLiteral("lblExit")), Qt::LeftButton);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(desktop.trayIcon()->isVisible());  // the icon goes before the program
}

TEST_F(QtDesktopTest, AnItemClickedInThePopupMayAskAQuestionWhileTheMenuCloses) {
    QTest::mousePress(window->hotArea(QStringLiteral("lblOptions")), Qt::LeftButton);
    QMenu* menu = window->popupMenu();
    ASSERT_NE(menu, nullptr);
    QAction* about = menu->findChild<QAction*>(QStringLiteral("about"));
    ASSERT_NE(about, nullptr);
    QString text;
    bool minimisedWhileAsked = false;
    ModalAnswer answer7([&](QWidget* box) {
        text = qobject_cast<QMessageBox*>(box)->text();
        minimisedWhileAsked = window->isMinimized();
        clickButton(box, QMessageBox::Ok);
    });
    // A real click: the menu handles the release, closes, and only then does the item run.
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
    QCoreApplication::processEvents();
    EXPECT_TRUE(text.startsWith(QStringLiteral("version: beta 1 [build 0.0.2]")));
    EXPECT_TRUE(minimisedWhileAsked);
    EXPECT_FALSE(window->isMinimized());
    QCoreApplication::processEvents();  // the closed menu goes
    EXPECT_EQ(window->popupMenu(), nullptr);
}

TEST(QtDesktopLock, SecondInstanceFindsTheLockTakenUntilTheFirstEnds) {
    QTemporaryDir dir;
    QtDesktopOptions options;
    options.lockFilePath = dir.filePath(QStringLiteral("melodrop.lock"));
    int ended = 0;
    options.endProcess = [&ended] { ++ended; };
    QtDesktop first(options);
    QtDesktop second(options);
    EXPECT_FALSE(first.anotherInstanceRunning());
    EXPECT_FALSE(first.anotherInstanceRunning());  // asking again is no second instance
    EXPECT_TRUE(second.anotherInstanceRunning());
    first.quit();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(second.anotherInstanceRunning());
}

}  // namespace
