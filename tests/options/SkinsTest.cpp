// Choosing, applying and remembering skins.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include "base/AnnouncementLines.h"
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

// A picture that does not decode whole is not loaded: the window keeps its picture, nothing is
// saved and "skin changed" is not announced. A pipe as picture or skin file does not block.
TEST_F(SkinsTest, APictureThatDoesNotDecodeWholeChangesNothing) {
    QImage picture(148, 90, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
    }
    writeSkin("cut.png", png.left(png.size() - 20));
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
    }
    writeSkin("cut.bmp", bmp.left(bmp.size() / 2));
    QByteArray huge = bmp;
    qToLittleEndian<qint32>(20000, huge.data() + 18);
    qToLittleEndian<qint32>(20000, huge.data() + 22);
    writeSkin("huge.bmp", huge);
    ASSERT_EQ(::mkfifo(QFile::encodeName(skins + "/fifo.bmp").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", skins + "/zero.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(skins + "/fifo.mds").constData(), 0600), 0);

    QElapsedTimer clock;
    clock.start();
    for (const char* image : {"cut.png", "cut.bmp", "huge.bmp", "fifo.bmp", "zero.bmp"}) {
        choose(writeSkin(QString("s-%1.mds").arg(image), QByteArray("[melodrop]\nimage=") + image +
                                                             "\nbackcolor=1\nforecolor=2\n"));
        EXPECT_TRUE(m->window().picturePath().isEmpty()) << image;
        EXPECT_TRUE(m->window().picture().isNull()) << image;
    }
    choose(skins + "/fifo.mds");
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(rig.settings.values.contains("skin"));
    EXPECT_TRUE(rig.takeLines().isEmpty());
    EXPECT_EQ(rig.desktop.requests.filter("restore").size(), 6);
}

TEST_F(SkinsTest, TheWindowGetsThePictureThatWasDecoded) {
    choose(writeSkin("ice.mds", "[melodrop]\nimage=blue.png\nbackcolor=1\nforecolor=2\n"));
    ASSERT_FALSE(m->window().picture().isNull());
    EXPECT_EQ(m->window().picture().pixelColor(10, 10), QColor(Qt::darkBlue));
    EXPECT_EQ(m->window().picturePath(), skins + "/blue.png");
}

// At start-up a saved skin whose picture is cut off (or a pipe) keeps the built-in picture;
// the colours still apply and start-up goes on.
TEST(SkinsAtStartup, APictureThatDoesNotDecodeKeepsTheBuiltInPictureAndStartUpGoesOn) {
    for (const char* image : {"cut.png", "fifo.png"}) {
        TestRig rig;
        const QString skins = rig.programFolder() + "/skins";
        QImage picture(148, 90, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        QFile cut(skins + "/cut.png");
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(png.left(png.size() - 30));
        cut.close();
        ASSERT_EQ(::mkfifo(QFile::encodeName(skins + "/fifo.png").constData(), 0600), 0);
        QFile skin(skins + "/saved.mds");
        ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
        skin.write(QByteArray("[melodrop]\nimage=") + image + "\nbackcolor=255\nforecolor=0\n");
        skin.close();
        rig.settings.values["skin"] = skins + "/saved.mds";
        rig.settings.values["trig"] = "/";
        Melodrop& started = rig.load();
        EXPECT_TRUE(started.window().picture().isNull()) << image;
        EXPECT_EQ(started.window().listBackColor(), QColor(255, 0, 0)) << image;
        EXPECT_EQ(started.state().txtTrigger, "/") << image;
    }
}
