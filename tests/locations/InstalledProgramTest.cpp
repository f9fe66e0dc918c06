// The whole program installed: the shipped files read from the shipped folder, everything it
// writes (the immune list, the update archive) in the per-user folder, skins looked up in the
// per-user folder first, and a skin path stored by an earlier run still loading.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "fakes/TestRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(shipped() + "/skins"));
        ASSERT_TRUE(QDir().mkpath(user() + "/skins"));
        writeFile(shipped() + "/commands.txt", "play name\r\n");
        writePicture(shipped() + "/skins/sunset.bmp", Qt::red);
        writeFile(shipped() + "/skins/sunset.mds",
                  "[melodrop]\nimage=sunset.bmp\nbackcolor=255\nforecolor=0\nskinname=Sunset\n");
        writeFile(user() + "/immune.txt", "alice123\r\n");
        rig.locations = FileLocations(bin.path(), shipped(), user());
    }
    void writeFile(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void writePicture(const QString& path, Qt::GlobalColor color) {
        QImage picture(148, 90, QImage::Format_RGB32);
        picture.fill(color);
        ASSERT_TRUE(picture.save(path));
    }
    QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString shipped() const { return prefix.path() + "/share/melodrop"; }
    QString user() const { return home.path() + "/melodrop"; }

    QTemporaryDir prefix;
    QTemporaryDir bin;
    QTemporaryDir home;
    TestRig rig;
};

}  // namespace

TEST_F(InstalledProgram, TheImmuneListIsReadAndWrittenInThePerUserFolder) {
    Melodrop& m = rig.load();
    EXPECT_EQ(m.state().lstImmune, QStringList{"alice123"});
    rig.userTypes("imu Bob");
    EXPECT_EQ(readFile(user() + "/immune.txt"), "alice123\r\nbob\r\n");
    rig.userTypes("vimu");
    EXPECT_EQ(rig.desktop.requestsStartingWith("shell "),
              QStringList{"shell " + user() + "/immune.txt"});
    EXPECT_FALSE(QFile::exists(bin.path() + "/immune.txt"));
}

TEST_F(InstalledProgram, TheChatCommandsOpenFromTheShippedCopy) {
    rig.load();
    rig.userTypes("vcmds");
    EXPECT_EQ(rig.desktop.requestsStartingWith("shell "),
              QStringList{"shell " + shipped() + "/commands.txt"});
}

TEST_F(InstalledProgram, AShippedSkinIsChosenFromTheShippedFolderAndRemembered) {
    Melodrop& m = rig.load();
    rig.desktop.fileAnswers.enqueue(shipped() + "/skins/sunset.mds");
    m.menuTriggered("changeskin");
    EXPECT_EQ(
        rig.desktop.requestsStartingWith("open "),
        QStringList{"open Select a skin to open|Skins (*.mds)|*.mds|" + shipped() + "/skins"});
    EXPECT_EQ(m.window().picturePath(), shipped() + "/skins/sunset.bmp");
    EXPECT_EQ(rig.settings.values["skin"], shipped() + "/skins/sunset.mds");
}

TEST_F(InstalledProgram, ThePerUserSkinsComeFirst) {
    // The user's own skin, and a picture of the same name as a shipped one that replaces it.
    writePicture(user() + "/skins/sunset.bmp", Qt::green);
    writeFile(user() + "/skins/mine.mds",
              "[melodrop]\nimage=sunset.bmp\nbackcolor=0\n"
              "forecolor=255\nskinname=Mine\n");
    Melodrop& m = rig.load();
    rig.desktop.fileAnswers.enqueue(user() + "/skins/mine.mds");
    rig.desktop.fileAnswers.enqueue(shipped() + "/skins/sunset.mds");
    m.menuTriggered("changeskin");
    EXPECT_EQ(rig.desktop.requestsStartingWith("open ").value(0),
              "open Select a skin to open|Skins (*.mds)|*.mds|" + user() + "/skins");
    EXPECT_EQ(m.window().picturePath(), user() + "/skins/sunset.bmp");
    // Even for a shipped skin file: the picture is looked up by name, the user's first.
    m.menuTriggered("changeskin");
    EXPECT_EQ(m.window().picturePath(), user() + "/skins/sunset.bmp");
}

TEST_F(InstalledProgram, ASkinPathStoredByAnEarlierRunStillLoads) {
    // As stored by the program run from its build tree: a skin file that is still there; its
    // picture is found in the skins folders of the installed program.
    QTemporaryDir buildTree;
    ASSERT_TRUE(QDir().mkpath(buildTree.path() + "/skins"));
    const QString stored = buildTree.path() + "/skins/sunset.mds";
    ASSERT_TRUE(QFile::copy(shipped() + "/skins/sunset.mds", stored));
    rig.settings.values["skin"] = stored;
    Melodrop& m = rig.load();
    EXPECT_EQ(m.window().picturePath(), shipped() + "/skins/sunset.bmp");
    EXPECT_EQ(m.window().listBackColor(), QColor(255, 0, 0));
    // The rest of the start-up ran: the immune list is loaded.
    EXPECT_EQ(m.state().lstImmune, QStringList{"alice123"});
}

TEST_F(InstalledProgram, SkinfetchStartsFromTheProgramsFolderAndUpdatesAreSavedPerUser) {
    Melodrop& m = rig.load();
    m.menuTriggered("skinfetch");
    EXPECT_EQ(rig.desktop.requestsStartingWith("start "),
              QStringList{"start " + bin.path() + "/skinfetch"});

    rig.web.bodies[kServer + "/zeph/melodrop/updates.txt"] = "0.0.3";
    rig.desktop.messageAnswers.enqueue(MessageAnswer::Yes);
    m.menuTriggered("checkforupdates");
    rig.settle(0.2);
    EXPECT_EQ(
        rig.desktop.requestsStartingWith("save "),
        QStringList{"save Choose where to save melodrop|(*.zip)|*zip|melodrop update|" + user()});
}
