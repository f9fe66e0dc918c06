// Where the programs find and write their files: beside the program in the build tree, split
// into the shipped folder and the per-user folder when installed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "locations/FileLocations.h"

using namespace melodrop;

namespace {

void writeFile(const QString& path, const QByteArray& content = {}) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// An installed tree (<prefix>/bin beside <prefix>/share/melodrop) and a per-user data home.
class InstalledTree : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(bin()));
        writeFile(shipped() + "/commands.txt", "help");
        writeFile(shipped() + "/skins/sunset.mds", "[melodrop]\nimage=sunset.bmp\n");
        writeFile(shipped() + "/skins/sunset.bmp");
        savedDataHome = qgetenv("XDG_DATA_HOME");
        hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    }
    void TearDown() override {
        if (hadDataHome)
            qputenv("XDG_DATA_HOME", savedDataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    QString bin() const { return prefix.path() + "/bin"; }
    QString shipped() const { return prefix.path() + "/share/melodrop"; }
    QString user() const { return home.path() + "/melodrop"; }

    QTemporaryDir prefix;
    QTemporaryDir home;
    QByteArray savedDataHome;
    bool hadDataHome = false;
};

}  // namespace

TEST(FileLocations, BesideTheProgramEverythingIsInItsFolder) {
    QTemporaryDir dir;
    const FileLocations files = FileLocations::forProgram(dir.path());
    EXPECT_FALSE(files.installed());
    EXPECT_EQ(files.shippedFolder(), dir.path());
    EXPECT_EQ(files.userFolder(), dir.path());
    EXPECT_EQ(files.skinsFolders(), QStringList{dir.path() + "/skins"});
    EXPECT_EQ(files.skinPicture("a.bmp"), dir.path() + "/skins/a.bmp");
    EXPECT_EQ(files.skinDialogFolder(), dir.path() + "/skins");
    EXPECT_EQ(files.immuneFile(), dir.path() + "/immune.txt");
    EXPECT_EQ(files.commandsFile(), dir.path() + "/commands.txt");
    // melodrop-bridge.exe beside the program, or in the build's output for Windows.
    EXPECT_EQ(
        files.bridgeProgramPlaces(),
        (QStringList{dir.path() + "/melodrop-bridge.exe",
                     QDir::cleanPath(dir.path() + "/../windows-x64/bin/melodrop-bridge.exe")}));
    // The build tree is left as it is: no immune list appears by itself.
    EXPECT_TRUE(files.prepareUserFolder());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(InstalledTree, IsRecognisedFromTheProgramsFolder) {
    const FileLocations files = FileLocations::forProgram(bin());
    EXPECT_TRUE(files.installed());
    EXPECT_EQ(files.programFolder(), bin());
    EXPECT_EQ(files.shippedFolder(), QDir::cleanPath(shipped()));
    EXPECT_EQ(files.userFolder(), user());
    EXPECT_EQ(files.immuneFile(), user() + "/immune.txt");
    EXPECT_EQ(files.commandsFile(), QDir::cleanPath(shipped()) + "/commands.txt");
    EXPECT_EQ(files.userSkinsFolder(), user() + "/skins");
    EXPECT_EQ(files.skinsFolders(),
              (QStringList{user() + "/skins", QDir::cleanPath(shipped()) + "/skins"}));
    EXPECT_EQ(files.bridgeProgramPlaces(),
              QStringList{QDir::cleanPath(prefix.path() + "/lib/melodrop/melodrop-bridge.exe")});
}

TEST_F(InstalledTree, WithoutItsCommandsFileTheFolderIsNotAnInstall) {
    QFile::remove(shipped() + "/commands.txt");
    EXPECT_FALSE(FileLocations::forProgram(bin()).installed());
}

TEST_F(InstalledTree, PicturesAreLookedUpInThePerUserFolderFirst) {
    const FileLocations files = FileLocations::forProgram(bin());
    const QString shippedSkins = QDir::cleanPath(shipped()) + "/skins";
    EXPECT_EQ(files.skinPicture("sunset.bmp"), shippedSkins + "/sunset.bmp");
    writeFile(user() + "/skins/sunset.bmp");
    EXPECT_EQ(files.skinPicture("sunset.bmp"), user() + "/skins/sunset.bmp");
    // Found nowhere: the per-user path, which then fails to load like any missing picture.
    EXPECT_EQ(files.skinPicture("gone.bmp"), user() + "/skins/gone.bmp");
}

TEST_F(InstalledTree, TheSkinDialogOpensOnTheUsersSkinsOnceThereIsOne) {
    const FileLocations files = FileLocations::forProgram(bin());
    ASSERT_TRUE(files.prepareUserFolder());
    EXPECT_EQ(files.skinDialogFolder(), QDir::cleanPath(shipped()) + "/skins");
    writeFile(user() + "/skins/ocean.zip");  // an archive not unpacked yet is no skin
    EXPECT_EQ(files.skinDialogFolder(), QDir::cleanPath(shipped()) + "/skins");
    writeFile(user() + "/skins/ocean.mds");
    EXPECT_EQ(files.skinDialogFolder(), user() + "/skins");
}

TEST_F(InstalledTree, PreparingMakesTheUserFolderAndKeepsAnExistingImmuneList) {
    const FileLocations files = FileLocations::forProgram(bin());
    ASSERT_TRUE(files.prepareUserFolder());
    EXPECT_TRUE(QFileInfo(user() + "/skins").isDir());
    EXPECT_EQ(readFile(user() + "/immune.txt"), "");

    writeFile(user() + "/immune.txt", "bob\r\n");
    ASSERT_TRUE(files.prepareUserFolder());
    EXPECT_EQ(readFile(user() + "/immune.txt"), "bob\r\n");
}

TEST_F(InstalledTree, AUserFolderThatCannotBeMadeIsReported) {
    writeFile(home.path() + "/blocked");
    const FileLocations files(bin(), shipped(), home.path() + "/blocked/melodrop");
    EXPECT_FALSE(files.prepareUserFolder());
}
