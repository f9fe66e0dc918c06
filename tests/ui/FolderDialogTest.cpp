// The MP3 folder dialog: its controls, and OK, Cancel and the close box through the desktop to
// the program's logic.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/TestRig.h"
#include "ui/FolderDialog.h"
#include "ui/FolderList.h"
#include "ui/PlayerWindow.h"
#include "ui/QtDesktop.h"

using namespace melodrop;
using namespace melodrop::testing;
using namespace melodrop::ui;

namespace {

TEST(FolderList, ShowsTheParentsAndTheFoldersInsideAndOpensOnActivation) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("music/rock"));
    QDir(dir.path()).mkpath(QStringLiteral("Music2"));
    FolderList list;
    ASSERT_TRUE(list.setPath(dir.path()));
    EXPECT_EQ(list.path(), QDir::toNativeSeparators(dir.path()));
    // The open folder is current, its folders hang below it, sorted regardless of case.
    QTreeWidgetItem* open = list.currentItem();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(0), QDir(dir.path()).dirName());
    ASSERT_EQ(open->childCount(), 2);
    EXPECT_EQ(open->child(0)->text(0), QStringLiteral("music"));
    EXPECT_EQ(open->child(1)->text(0), QStringLiteral("Music2"));
    // The chain starts at the root.
    QTreeWidgetItem* top = list.topLevelItem(0);
    EXPECT_EQ(top->text(0), QDir::toNativeSeparators(QDir::rootPath()));

    emit list.itemActivated(open->child(0), 0);
    EXPECT_EQ(list.path(), QDir::toNativeSeparators(dir.path() + QStringLiteral("/music")));
    EXPECT_FALSE(list.setPath(dir.path() + QStringLiteral("/missing")));
    EXPECT_EQ(list.path(), QDir::toNativeSeparators(dir.path() + QStringLiteral("/music")));
}

class FolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile immune(rig.programFolder() + QStringLiteral("/immune.txt"));
        ASSERT_TRUE(immune.open(QIODevice::WriteOnly));
        immune.close();
        options.lockFilePath = lockDir.filePath(QStringLiteral("melodrop.lock"));
        options.endProcess = [] {};
        desktop = std::make_unique<QtDesktop>(options);
        assembly = std::make_unique<Assembly>(rig.boundaries(*desktop));
        melodrop = &assembly->program();
        melodrop->load();
        window = std::make_unique<PlayerWindow>(*melodrop);
        desktop->setPlayerWindow(window.get());
        connectToMelodrop(*desktop, *melodrop);
        desktop->showPlayer();
        QDir(other.path()).mkpath(QStringLiteral("tunes"));
        QFile(other.path() + QStringLiteral("/tunes/song.mp3")).open(QIODevice::WriteOnly);
    }

    FolderDialog* openDialog() {
        melodrop->menuTriggered(QStringLiteral("setmp3dir"));
        return desktop->folderDialog();
    }

    QTemporaryDir lockDir, other;
    TestRig rig;
    QtDesktopOptions options;
    std::unique_ptr<QtDesktop> desktop;
    std::unique_ptr<Assembly> assembly;
    Melodrop* melodrop = nullptr;
    std::unique_ptr<PlayerWindow> window;
};

TEST_F(FolderDialogTest, HasItsCaptionAndControlsWhereTheyBelong) {
    FolderDialog* dialog = openDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmMP3Dir"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("melodrop - choose mp3 folder"));
    EXPECT_EQ(dialog->size(), QSize(247, 139));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->findChild<QWidget*>(QStringLiteral("Dir1"))->geometry(),
              QRect(8, 8, 233, 96));
    EXPECT_EQ(dialog->findChild<QWidget*>(QStringLiteral("Drive1"))->geometry(),
              QRect(8, 112, 105, 21));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    EXPECT_EQ(ok->geometry(), QRect(120, 112, 57, 21));
    EXPECT_EQ(cancel->geometry(), QRect(184, 112, 57, 21));
    EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
    EXPECT_EQ(cancel->text(), QStringLiteral("&Cancel"));
    // It opens at the MP3 folder; the drive list holds the volume of the folder it started in.
    EXPECT_EQ(dialog->folder(), QDir::toNativeSeparators(rig.mp3Folder()));
    EXPECT_GE(dialog->driveList()->count(), 1);
    EXPECT_FALSE(dialog->driveList()->currentText().isEmpty());
}

TEST_F(FolderDialogTest, OkMovesTheListToTheChosenFolderAndSavesIt) {
    FolderDialog* dialog = openDialog();
    const QString tunes = QDir::toNativeSeparators(other.path() + QStringLiteral("/tunes"));
    ASSERT_TRUE(dialog->folderList()->setPath(tunes));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("mp3dir")), tunes);
    EXPECT_EQ(melodrop->tracks().entries(), QStringList{QStringLiteral("song.mp3")});

    // Shown again, it opens at the MP3 folder, which is this one now.
    EXPECT_EQ(openDialog()->folder(), tunes);
}

TEST_F(FolderDialogTest, CancelAndTheCloseBoxChangeNothingAndBringThePlayerBack) {
    const QString before = rig.settings.values.value(QStringLiteral("mp3dir"));
    FolderDialog* dialog = openDialog();
    dialog->folderList()->setPath(other.path());
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(window->isMinimized());

    // Browsing that was cancelled is forgotten: it opens at the MP3 folder again.
    EXPECT_EQ(openDialog()->folder(), QDir::toNativeSeparators(before));
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("mp3dir")), before);
    EXPECT_EQ(melodrop->tracks().folder(), before);
}

}  // namespace
