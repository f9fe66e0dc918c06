// The splash, the update notice, the built-in face and the file filter conversion.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>

#include "ui/FileDialogFilter.h"
#include "ui/IntroWindow.h"
#include "ui/PlayerLayout.h"
#include "ui/QtDesktop.h"
#include "ui/SkinFace.h"
#include "ui/UpdateNoticeWindow.h"

using namespace melodrop::ui;

namespace {

TEST(FileDialogFilter, TurnsDescriptionPatternPairsIntoQtFilters) {
    EXPECT_EQ(toQtFileFilter(QStringLiteral("Skins (*.mds)|*.mds")),
              QStringLiteral("Skins (*.mds)"));
    // The pattern, not the description's own parentheses, decides what is listed.
    EXPECT_EQ(toQtFileFilter(QStringLiteral("(*.zip)|*zip")), QStringLiteral("*zip (*zip)"));
    EXPECT_EQ(toQtFileFilter(QStringLiteral("Pictures|*.bmp;*.png|All files (*.*)|*.*")),
              QStringLiteral("Pictures (*.bmp *.png);;All files (*.*)"));
    EXPECT_EQ(toQtFileFilter(QString()), QString());
    EXPECT_EQ(toQtFileFilter(QStringLiteral("odd|")), QString());
}

TEST(SplashAndNotice, AreTheFixedWindowsOfStartUpAndTheUpdateCheck) {
    QTemporaryDir dir;
    QtDesktopOptions options;
    options.lockFilePath = dir.filePath(QStringLiteral("lock"));
    QtDesktop desktop(options);

    desktop.showIntro();
    IntroWindow* intro = desktop.introWindow();
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(intro->objectName(), QStringLiteral("frmIntro"));
    EXPECT_EQ(intro->size(), QSize(300, 200));
    EXPECT_TRUE(intro->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(intro->isVisible());
    desktop.closeIntro();
    EXPECT_EQ(desktop.introWindow(), nullptr);
    desktop.closeIntro();  // twice is harmless

    desktop.showUpdateNotice();
    UpdateNoticeWindow* notice = desktop.updateNotice();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->objectName(), QStringLiteral("frmUpdates"));
    EXPECT_TRUE(notice->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(notice->findChild<QLabel*>()->text(),
              QStringLiteral("checking for updates please wait..."));
    desktop.hideUpdateNotice();
    EXPECT_FALSE(notice->isVisible());
}

TEST(BuiltinFace, DrawsTheButtonsUnderTheirHotAreas) {
    const QImage& face = builtinFace();
    ASSERT_EQ(face.size(), QSize(148, 90));
    // Each transport button shows a light symbol on its darker face, near the rect's centre.
    for (const HotAreaSpec& area : kHotAreas) {
        if (area.event != HotEvent::Click) continue;
        const QRect rect = area.pixels();
        int bright = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (face.pixelColor(x, y).lightness() > 150) ++bright;
        EXPECT_GE(bright, 4) << area.name;
    }
    // The list well has the list's own background colour.
    const QRect list = trackListRect();
    EXPECT_EQ(face.pixelColor(list.center()), builtinListBack());
}

}  // namespace
