// The skins shipped beside the program: each one applies through "- change skin" and the
// player window shows its picture and list colours; the default skin is the built-in face.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "fakes/TestRig.h"
#include "ui/PlayerWindow.h"
#include "ui/SkinFace.h"
#include "ui/SkinPicture.h"
#include "ui/TrackListView.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

const QString kShippedSkins = QStringLiteral(MELODROP_FIXTURES_DIR "/../../data/skins");

class ShippedSkinsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QDir shipped(kShippedSkins);
        for (const QString& name : shipped.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(shipped.filePath(name),
                                    rig.programFolder() + QStringLiteral("/skins/") + name));
        rig.load();
        window = std::make_unique<ui::PlayerWindow>(rig.program());
    }

    void change(const QString& skinFile) {
        rig.desktop.fileAnswers.enqueue(rig.programFolder() + QStringLiteral("/skins/") + skinFile);
        rig.program().menuTriggered(QStringLiteral("changeskin"));
    }
    QColor listBack() const { return window->trackList()->palette().color(QPalette::Base); }
    QColor listText() const { return window->trackList()->palette().color(QPalette::Text); }

    TestRig rig;
    std::unique_ptr<ui::PlayerWindow> window;
};

TEST_F(ShippedSkinsTest, EverySampleSkinAppliesWithItsPictureAndColours) {
    struct Expected {
        const char* file;
        QColor back, fore;
        const char* announced;
    };
    const Expected skins[] = {
        {"sunset.mds", QColor(0x1c, 0x0a, 0x1e), QColor(0xff, 0xc8, 0x90), "sunset boulevard"},
        {"graphite.mds", QColor(0xfa, 0xfb, 0xfc), QColor(0x1d, 0x2b, 0x4a), "graphite"},
    };
    for (const Expected& skin : skins) {
        rig.takeLines();
        change(QString::fromLatin1(skin.file));
        const QImage& shown = window->picture()->image();
        EXPECT_EQ(shown.size(), QSize(148, 90)) << skin.file;
        EXPECT_NE(shown.convertToFormat(QImage::Format_RGB32),
                  ui::builtinFace().convertToFormat(QImage::Format_RGB32))
            << skin.file;
        EXPECT_EQ(listBack(), skin.back) << skin.file;
        EXPECT_EQ(listText(), skin.fore) << skin.file;
        const QStringList lines = rig.takeLines();
        ASSERT_EQ(lines.size(), 1) << skin.file;
        EXPECT_TRUE(lines[0].contains(QString::fromLatin1(skin.announced)))
            << lines[0].toStdString();
    }
}

TEST_F(ShippedSkinsTest, TheDefaultSkinIsTheBuiltInFace) {
    change(QStringLiteral("sunset.mds"));
    change(QStringLiteral("default.mds"));
    EXPECT_EQ(rig.settings.values.value(QStringLiteral("skin")), QStringLiteral("default"));
    EXPECT_EQ(window->picture()->image().convertToFormat(QImage::Format_RGB32),
              ui::builtinFace().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(listBack(), ui::builtinListBack());
    EXPECT_EQ(listText(), ui::builtinListFore());
}

}  // namespace
