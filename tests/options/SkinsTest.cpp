// Choosing, applying and remembering skins.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "chat/AnnouncementLines.h"
#include "fakes/TestRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

class SkinsTest : public ::testing::Test {
protected:
    void SetUp() override {
        skins = rig.programFolder() + "/skins";
        QImage picture(148, 90, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        ASSERT_TRUE(picture.save(skins + "/blue.bmp"));
        ASSERT_TRUE(picture.save(skins + "/blue.png"));
        m = &rig.load();
        rig.takeLines();
        rig.desktop.requests.clear();
    }
    QString writeSkin(const QString& name, const QByteArray& content) {
        const QString path = skins + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    void choose(const QString& path) {
        rig.desktop.fileAnswers.enqueue(path);
        m->menuTriggered("changeskin");
    }

    TestRig rig;
    Melodrop* m = nullptr;
    QString skins;
};

}  // namespace

TEST_F(SkinsTest, ChangeSkinAppliesSavesAndAnnouncesEvenWithoutAdvertise) {
    m->menuTriggered("advertise");
    const QString path = writeSkin(
        "ice.mds",
        "[Melodrop]\nIMAGE=blue.png\nbackcolor=255\nforecolor=&HFF00&\nskinname=Blue Ice\n");
    choose(path);
    EXPECT_EQ(rig.desktop.requests.value(1),
              "open Select a skin to open|Skins (*.mds)|*.mds|" + skins);
    EXPECT_EQ(m->window().picturePath(), skins + "/blue.png");
    EXPECT_EQ(m->window().listBackColor(), QColor(255, 0, 0));
    EXPECT_EQ(m->window().listForeColor(), QColor(0, 255, 0));
    EXPECT_EQ(rig.settings.values["skin"], path);
    EXPECT_EQ(rig.desktop.requests.last(), "restore");
    EXPECT_EQ(rig.takeLines(),
              QStringList{announcementLine(Announcement::SkinChanged, "blue ice")});
}

TEST_F(SkinsTest, DecimalAndHexadecimalColoursAgree) {
    choose(writeSkin("a.mds", "[melodrop]\nimage=blue.bmp\nbackcolor=16711680\nforecolor=0\n"));
    const auto decimal = m->window().listBackColor();
    choose(writeSkin("b.mds", "[melodrop]\nimage=blue.bmp\nbackcolor=&HFF0000\nforecolor=0\n"));
    EXPECT_EQ(m->window().listBackColor(), decimal);
    EXPECT_EQ(decimal, QColor(0, 0, 255));
}

TEST_F(SkinsTest, CancelMissingKeyAndMissingFileChangeNothing) {
    choose("");
    choose(writeSkin("nokey.mds", "[melodrop]\nimage=blue.bmp\nbackcolor=1\n"));
    choose(skins + "/absent.mds");
    EXPECT_TRUE(m->window().picturePath().isEmpty());
    EXPECT_FALSE(rig.settings.values.contains("skin"));
    EXPECT_TRUE(rig.takeLines().isEmpty());
    EXPECT_EQ(rig.desktop.requests.filter("restore").size(), 3);
}

TEST_F(SkinsTest, BrokenPictureOrColourAbandonsTheRest) {
    choose(writeSkin("pic.mds", "[melodrop]\nimage=nothing.bmp\nbackcolor=1\nforecolor=2\n"));
    EXPECT_FALSE(m->window().listBackColor().has_value());
    choose(writeSkin("col.mds", "[melodrop]\nimage=blue.bmp\nbackcolor=red\nforecolor=2\n"));
    EXPECT_EQ(m->window().picturePath(), skins + "/blue.bmp");  // what was applied stays
    EXPECT_FALSE(m->window().listBackColor().has_value());
    EXPECT_FALSE(rig.settings.values.contains("skin"));
    EXPECT_TRUE(rig.takeLines().isEmpty());
}

TEST_F(SkinsTest, DefaultImageSavesTheWordDefault_OtherCaseIsAnOrdinarySkin) {
    QImage(148, 90, QImage::Format_RGB32).save(skins + "/default.bmp");
    QImage(148, 90, QImage::Format_RGB32).save(skins + "/Default.BMP");
    choose(writeSkin("default.mds", "[melodrop]\nimage=default.bmp\nbackcolor=0\nforecolor=1\n"));
    EXPECT_EQ(rig.settings.values["skin"], "default");
    const QString other =
        writeSkin("other.mds", "[melodrop]\nimage=Default.BMP\nbackcolor=0\nforecolor=1\n");
    choose(other);
    EXPECT_EQ(rig.settings.values["skin"], other);
    // No skinname: the line goes out with an empty name.
    EXPECT_EQ(rig.takeLines().last(), announcementLine(Announcement::SkinChanged, ""));
}

TEST_F(SkinsTest, PictureIsLookedForInTheSkinsFolderNotBesideTheFile) {
    QTemporaryDir elsewhere;
    QImage(148, 90, QImage::Format_RGB32).save(elsewhere.path() + "/only-here.bmp");
    const QString path = elsewhere.path() + "/far.mds";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[melodrop]\nimage=only-here.bmp\nbackcolor=0\nforecolor=1\n");
    f.close();
    choose(path);
    EXPECT_TRUE(m->window().picturePath().isEmpty());
}
