// Start-up: each stored setting applied, a stored skin that is gone, the announcements.
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"

using namespace melodrop;
using namespace melodrop::testing;

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

}  // namespace

TEST(Startup, FirstRunWithAnEmptyStoreUsesEveryDefault) {
    TestRig rig;
    rig.settings.values.clear();
    Melodrop& m = rig.load();
    const OptionsState& s = m.state();

    EXPECT_TRUE(s.alwaysontop);
    EXPECT_TRUE(rig.desktop.onTop);
    EXPECT_EQ(m.window().heightTwips(), 1350);
    EXPECT_EQ(s.rollupCaption, "- rollup");
    EXPECT_EQ(m.window().titleTooltip(), "double click to rollup");
    EXPECT_TRUE(s.random);
    EXPECT_TRUE(s.continuous);
    EXPECT_EQ(s.txtMP3sPath, defaultMp3Folder());
    EXPECT_EQ(m.window().slider(), 90);
    EXPECT_TRUE(rig.player.calls.filter("Volume").isEmpty());
    EXPECT_TRUE(m.window().picturePath().isEmpty());
    EXPECT_TRUE(s.chatcommands);
    EXPECT_TRUE(rig.chtMelodrop().isScanning());
    EXPECT_EQ(s.txtTrigger, "");
    EXPECT_TRUE(s.advertise);
    EXPECT_EQ(s.txtHandle, "user");

    const QStringList lines = rig.takeLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], loadedBanner());
    EXPECT_EQ(lines[1], userLine("user", m.tracks().count(), kServer + "/zeph/melodrop/"));
    EXPECT_GE(rig.clock.Now(), 0.8);
    // No immune list yet: the list file's own message.
    EXPECT_EQ(rig.desktop.requestsStartingWith("message "),
              QStringList{"message Error|File Not Found"});
}

TEST(Startup, StoredValuesAreAppliedAndAnnounced) {
    TestRig rig;
    rig.addMp3s({"a.mp3", "B.MP3", "c.Mp3", "notes.txt"});
    auto& v = rig.settings.values;
    v["alwaysontop"] = "false";
    v["rollup"] = "true";
    v["random"] = "false";
    v["continuous"] = "false";
    v["vol"] = "40";
    v["chatcommands"] = "false";
    v["trig"] = "//";
    v["advertise"] = "true";
    v["hndle"] = "DJ Zed";
    Melodrop& m = rig.load();

    EXPECT_FALSE(m.state().alwaysontop);
    EXPECT_FALSE(rig.desktop.onTop);
    EXPECT_EQ(m.window().heightTwips(), 225);
    EXPECT_EQ(m.state().rollupCaption, "- rolldown");
    EXPECT_EQ(m.window().titleTooltip(), "double click to rolldown");
    EXPECT_FALSE(m.state().random);
    EXPECT_FALSE(m.state().continuous);
    EXPECT_EQ(m.tracks().folder(), rig.mp3Folder());
    EXPECT_EQ(m.tracks().count(), 3);
    EXPECT_EQ(rig.player.calls.filter("Volume"), QStringList{"Volume -1500"});
    EXPECT_EQ(m.window().slider(), 40);
    EXPECT_FALSE(m.state().chatcommands);
    EXPECT_FALSE(rig.chtMelodrop().isScanning());
    EXPECT_EQ(m.state().txtTrigger, "//");
    EXPECT_EQ(m.state().txtHandle, "DJ Zed");
    EXPECT_EQ(rig.takeLines().value(1), userLine("dj zed", 3, kServer + "/zeph/melodrop/"));
}

TEST(Startup, OddValuesCountAsOnExceptForAlwaysOnTop) {
    for (const char* odd : {"TRUE", "yes", "0", " false"}) {
        TestRig rig;
        for (const char* key : {"alwaysontop", "random", "continuous", "chatcommands", "advertise"})
            rig.settings.values[key] = odd;
        Melodrop& m = rig.load();
        SCOPED_TRACE(odd);
        EXPECT_FALSE(m.state().alwaysontop);
        EXPECT_TRUE(m.state().random);
        EXPECT_TRUE(m.state().continuous);
        EXPECT_TRUE(m.state().chatcommands);
        EXPECT_TRUE(m.state().advertise);
    }
}

TEST(Startup, VolumeThatIsNotANumberLeavesPlayerAndSliderAlone) {
    for (const char* bad : {"abc", "nan", "inf", "1e999"}) {
        TestRig rig;
        rig.settings.values["vol"] = bad;
        Melodrop& m = rig.load();
        EXPECT_TRUE(rig.player.calls.filter("Volume").isEmpty()) << bad;
        EXPECT_EQ(m.window().slider(), 90);
    }
}

TEST(Startup, FractionalAndOutOfRangeVolumes) {
    struct Case {
        const char* stored;
        const char* volumeCall;
        int slider;
    } cases[] = {{"40.5", "Volume -1488", 40},
                 {"0", "Volume -2500", 0},
                 {"100", "Volume 0", 100},
                 {"250", "Volume 0", 100},
                 {"-7", "Volume -2500", 0}};
    for (const Case& c : cases) {
        TestRig rig;
        rig.settings.values["vol"] = c.stored;
        Melodrop& m = rig.load();
        EXPECT_EQ(rig.player.calls.filter("Volume"), QStringList{c.volumeCall}) << c.stored;
        EXPECT_EQ(m.window().slider(), c.slider) << c.stored;
    }
}

TEST(Startup, DefaultSkinKeepsTheBuiltInLookAndGoesOn) {
    TestRig rig;
    rig.settings.values["skin"] = "default";
    Melodrop& m = rig.load();
    EXPECT_TRUE(m.window().picturePath().isEmpty());
    EXPECT_TRUE(rig.chtMelodrop().isScanning());
    EXPECT_EQ(rig.takeLines().size(), 2);
}

// The program moved (a reinstall elsewhere): the stored skin file is gone, but a skin of the
// same name lies in the skins folders and is used; start-up goes on to its end, and nothing
// needs telling.
TEST(Startup, AStoredSkinThatMovedIsFoundByItsName) {
    TestRig rig;
    const QString skins = rig.programFolder() + "/skins";
    writeFile(skins + "/sunset.mds", "[melodrop]\nimage=x.bmp\nbackcolor=255\nforecolor=0\n");
    rig.settings.values["skin"] = "/old/prefix/share/melodrop/skins/sunset.mds";
    Melodrop& m = rig.load();
    EXPECT_EQ(m.window().listBackColor(), QColor(255, 0, 0));
    EXPECT_EQ(rig.settings.values["skin"], "/old/prefix/share/melodrop/skins/sunset.mds");
    EXPECT_TRUE(rig.chtMelodrop().isScanning());
    // The picture x.bmp is not there: that much is told.
    EXPECT_EQ(rig.desktop.requestsStartingWith("message melodrop|the skin"),
              QStringList{"message melodrop|the skin \"" + skins +
                          "/sunset.mds\" could not show its picture \"x.bmp\"."});

    // A colour that cannot be read is skipped; the other one still shows.
    TestRig badBack;
    writeFile(badBack.programFolder() + "/skins/dusk.mds",
              "[melodrop]\nimage=x.bmp\nbackcolor=pink\nforecolor=255\n");
    badBack.settings.values["skin"] = "/old/dusk.mds";
    EXPECT_EQ(badBack.load().window().listForeColor(), QColor(255, 0, 0));
    const QString told = badBack.desktop.requestsStartingWith("message melodrop|the skin").value(0);
    EXPECT_TRUE(told.endsWith("could not show its picture \"x.bmp\" and its colours."))
        << told.toStdString();
}

// A stored skin found nowhere, or one that is not usable: the built-in look, every later step of
// start-up as stored, and one warning once start-up is done.
TEST(Startup, AStoredSkinThatIsGoneLeavesTheBuiltInLookAndStartUpGoesOn) {
    for (const char* broken : {"", "[melodrop]\nimage=x.bmp\n"}) {
        TestRig rig;
        writeFile(rig.programFolder() + "/immune.txt", "bob\r\n");
        const QString skin = rig.programFolder() + "/skins/gone.mds";
        if (*broken) writeFile(skin, broken);
        auto& v = rig.settings.values;
        v["skin"] = skin;
        v["chatcommands"] = "true";
        v["trig"] = "/";
        v["advertise"] = "true";
        v["hndle"] = "zed";
        Melodrop& m = rig.load();
        SCOPED_TRACE(broken);
        EXPECT_TRUE(m.window().picturePath().isEmpty());
        EXPECT_FALSE(m.window().listBackColor().has_value());
        EXPECT_TRUE(rig.chtMelodrop().isScanning());
        EXPECT_EQ(m.state().txtTrigger, "/");
        EXPECT_EQ(m.state().txtHandle, "zed");
        EXPECT_EQ(m.state().lstImmune, QStringList{"bob"});
        EXPECT_EQ(rig.takeLines().size(), 2);  // loaded and user
        const QStringList told = rig.desktop.requestsStartingWith("message ");
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].startsWith("message melodrop|the skin \"" + skin +
                                       (*broken ? "\" cannot be used" : "\" was not found")))
            << qPrintable(told[0]);
        EXPECT_TRUE(
            told[0].endsWith("melodrop shows its built-in skin. another can be chosen "
                             "with \"- change skin\" in the options menu."));
        EXPECT_EQ(rig.desktop.messageIcons.value(0), MessageIcon::Warning);
        EXPECT_EQ(rig.desktop.requests.last(), told[0]);  // once start-up has finished
        EXPECT_EQ(v["skin"], skin);                       // the choice is kept
        // The chat commands answer.
        rig.userTypes("/vol?");
        EXPECT_EQ(rig.takeLines().size(), 2);
    }
}

TEST(Startup, UsableSkinIsShownAndAPictureThatDoesNotLoadIsSkipped) {
    TestRig rig;
    const QString skins = rig.programFolder() + "/skins";
    writeFile(skins + "/good.mds",
              "[melodrop]\nimage=broken.bmp\nbackcolor=255\nforecolor=&HFF0000\n");
    writeFile(skins + "/broken.bmp", "not a picture");
    rig.settings.values["skin"] = skins + "/good.mds";
    Melodrop& m = rig.load();
    EXPECT_TRUE(m.window().picturePath().isEmpty());
    EXPECT_EQ(m.window().listBackColor(), QColor(255, 0, 0));
    EXPECT_EQ(m.window().listForeColor(), QColor(0, 0, 255));
    EXPECT_TRUE(rig.chtMelodrop().isScanning());
}

TEST(Startup, FolderThatNoLongerExistsLeavesTheListOnTheWorkingFolder) {
    TestRig rig;
    rig.settings.values["mp3dir"] = rig.mp3Folder() + "/gone";
    Melodrop& m = rig.load();
    EXPECT_EQ(m.state().txtMP3sPath, rig.mp3Folder() + "/gone");
    EXPECT_EQ(m.tracks().folder(), QDir::currentPath());
}

TEST(Startup, ImmuneListIsLoadedLast) {
    TestRig rig;
    writeFile(rig.programFolder() + "/immune.txt", "bob\r\n\"alice\"\r\n");
    Melodrop& m = rig.load();
    EXPECT_EQ(m.state().lstImmune, (QStringList{"bob", "alice"}));
    EXPECT_TRUE(rig.desktop.requestsStartingWith("message ").isEmpty());
}

TEST(Startup, LaunchWelcomesShowsTheSplashThenThePlayer) {
    TestRig rig;
    rig.create().launch();
    const QStringList& r = rig.desktop.requests;
    ASSERT_GE(r.size(), 3);
    EXPECT_EQ(r[0],
              "message melodrop|welcome to melodrop beta 1 [build 0.0.2], please be sure to check "
              "for updates daily by click the options menu the clicking 'check for updates'");
    EXPECT_EQ(r[1], "intro");
    EXPECT_EQ(rig.desktop.messageIcons.first(), MessageIcon::Information);
    EXPECT_TRUE(r.indexOf("show") < r.indexOf("close intro"));
    EXPECT_GE(rig.clock.Now(), 3.8);  // splash, then the wait between the two lines
}

TEST(Startup, SecondInstanceEndsAfterTheSplashWithoutAPlayer) {
    TestRig rig;
    rig.desktop.otherInstance = true;
    rig.create().launch();
    EXPECT_TRUE(rig.desktop.quitRequested);
    EXPECT_FALSE(rig.desktop.requests.contains("show"));
    EXPECT_TRUE(rig.takeLines().isEmpty());
    EXPECT_TRUE(rig.program().ended());
}
