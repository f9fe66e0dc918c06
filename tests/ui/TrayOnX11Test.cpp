// The tray icon in a real notification area (X11, with trayer: the ctest entry tray_on_x11 runs
// these under tests/ui/with-tray.sh): the icon is embedded, its tooltip tells what plays, and a
// click on it brings the player window back. Elsewhere (offscreen) there is no tray to test.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/NeedOrSkip.h"
#include "fakes/TestRig.h"
#include "ui/PlayerWindow.h"
#include "ui/QtDesktop.h"

using namespace melodrop;
using namespace melodrop::testing;
using namespace melodrop::ui;

TEST(TrayOnX11, TheIconShowsWhatPlaysAndItsClickBringsTheWindowBack) {
    MELODROP_NEED(QGuiApplication::platformName() == QLatin1String("xcb"),
                  "needs X11 and a tray: the ctest entry tray_on_x11 runs it");
    MELODROP_NEED(QSystemTrayIcon::isSystemTrayAvailable(), "no notification area on the display");
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    MELODROP_NEED(!xdotool.isEmpty(), "xdotool is not installed");

    TestRig rig;
    QFile(rig.programFolder() + QStringLiteral("/immune.txt")).open(QIODevice::WriteOnly);
    rig.addMp3s({QStringLiteral("love song.mp3")});
    QTemporaryDir lockDir;
    QtDesktopOptions options;
    options.lockFilePath = lockDir.filePath(QStringLiteral("melodrop.lock"));
    options.endProcess = [] {};
    QtDesktop desktop(options);
    Assembly assembly(rig.boundaries(desktop));
    Melodrop& melodrop = assembly.program();
    melodrop.load();
    PlayerWindow window(melodrop);
    desktop.setPlayerWindow(&window);
    connectToMelodrop(desktop, melodrop);
    desktop.showPlayer();

    rig.player.length = 225;
    melodrop.playListed(0);
    rig.player.position = 62;
    rig.clock.advance(1.0);
    melodrop.menuTriggered(QStringLiteral("minimizetosystray"));
    QSystemTrayIcon* tray = desktop.trayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(tray->toolTip(),
              QStringLiteral("melodrop by zeph\nlove song.mp3 - 1:02 / 3:45\nsimulated room"));
    // Embedded: the tray gave the icon its place, in the panel at the top right.
    QTRY_VERIFY_WITH_TIMEOUT(tray->geometry().x() > 0, 10000);

    QSignalSpy pressed(&desktop, &QtDesktop::trayLeftPressed);
    const QPoint centre = tray->geometry().center();
    QProcess::execute(xdotool,
                      {QStringLiteral("mousemove"), QString::number(centre.x()),
                       QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(pressed.wait(10000));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(tray->isVisible());
}
