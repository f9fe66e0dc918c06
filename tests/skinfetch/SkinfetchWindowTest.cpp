// The skinfetch window: its controls by name and caption, and clicks reaching the logic.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "localserver/LocalHttpServer.h"
#include "net/QtWebTransfer.h"
#include "skinfetch/FakeSkinfetchDialogs.h"
#include "skinfetch/QtSkinfetchDialogs.h"
#include "skinfetch/Skinfetch.h"
#include "skinfetch/SkinfetchWindow.h"

using namespace std::chrono_literals;

namespace melodrop::skinfetch {
namespace {

TEST(SkinfetchWindow, ControlsRefreshDownloadAndExit) {
    melodrop::LocalHttpServer server;
    server.serve("/zeph/melodrop/skins/skins.txt", "red\r\ngreen\r\nblue");
    server.serve("/zeph/melodrop/skins/green.zip", "PK green");
    QTemporaryDir programFolder;
    QDir(programFolder.path()).mkdir("skins");
    TransferLimits limits;
    limits.window = 300ms;
    limits.total = 5000ms;
    limits.maxBodyBytes = 1 << 20;
    QtWebTransfer transfer(limits);
    testing::FakeSkinfetchDialogs dialogs;
    Skinfetch logic(transfer, dialogs, programFolder.path(), server.baseUrl());
    SkinfetchWindow window(logic);
    window.show();

    EXPECT_EQ(window.objectName(), "Form1");
    EXPECT_EQ(window.windowTitle(), "melodrop skinfetch");
    auto* list = window.findChild<QListWidget*>("lstSkins");
    auto* refresh = window.findChild<QPushButton*>("cmdRefreshList");
    auto* download = window.findChild<QPushButton*>("cmdDownload");
    auto* exit = window.findChild<QPushButton*>("Command1");
    auto* status = window.findChild<QLabel*>("lblStatus");
    ASSERT_TRUE(list && refresh && download && exit && status);
    EXPECT_EQ(refresh->text(), "&refresh list");
    EXPECT_EQ(download->text(), "&download");
    EXPECT_EQ(exit->text(), "&Exit");
    EXPECT_EQ(status->text(), "status:");
    EXPECT_EQ(list->count(), 0);

    QTest::mouseClick(refresh, Qt::LeftButton);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), "blue");
    EXPECT_EQ(status->text(), "status: get list complete.");
    EXPECT_TRUE(refresh->isEnabled() && download->isEnabled());

    list->setCurrentRow(1);
    dialogs.saveAnswers = {programFolder.path() + "/skins/whatever.zip"};
    QTest::mouseClick(download, Qt::LeftButton);
    EXPECT_EQ(server.requestCount("/zeph/melodrop/skins/green.zip"), 1);
    EXPECT_TRUE(QFile::exists(programFolder.path() + "/skins/green.zip"));
    EXPECT_EQ(status->text(), "status: skin download complete.");

    QTest::mouseClick(exit, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST(SkinfetchWindow, DialogFiltersBecomeQtFilters) {
    EXPECT_EQ(qtFileFilter("(*.zip)|*zip"), "(*.zip) (*zip)");
    EXPECT_EQ(qtFileFilter("Skins (*.mds)|*.mds|All|*"), "Skins (*.mds) (*.mds);;All (*)");
}

}  // namespace
}  // namespace melodrop::skinfetch
