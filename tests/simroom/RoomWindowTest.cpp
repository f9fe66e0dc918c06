// The simulated chat room's window and its canned chatter, on the simulated client.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>

#include "aol/Quartzline.h"
#include "aol/sim/SimClient.h"
#include "base/VirtualClock.h"
#include "fakes/QtPrinters.h"
#include "simroom/RoomChatter.h"
#include "simroom/RoomWindow.h"

using namespace melodrop;
using namespace melodrop::simroom;

namespace {

class RoomWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.signOn("SunnyTunes");
        sim.openRoom("Town Square");
        sim.memberJoins("JazzCat");
        sim.memberJoins("SkaterGrrl");
        sim.memberSays("JazzCat", "hey all");
        window = std::make_unique<RoomWindow>(sim, &chatter);
        window->show();
    }
    template <typename T>
    T* child(const char* name) {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList memberTexts() {
        QStringList out;
        auto* list = child<QListWidget>("members");
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    QString transcript() { return child<QTextBrowser>("transcript")->toPlainText(); }
    // The client's changes are drawn together on the next turn of the event loop.
    void settle() { QCoreApplication::processEvents(); }

    aol::sim::SimClient sim;
    VirtualClock clock;
    RoomChatter chatter{sim, clock, 7};
    std::unique_ptr<RoomWindow> window;
};

TEST_F(RoomWindowTest, ShowsTheOpenRoomItsMembersAndTranscript) {
    EXPECT_EQ(child<QLabel>("roomName")->text(), QStringLiteral("Town Square"));
    EXPECT_EQ(memberTexts(), (QStringList{"SunnyTunes", "JazzCat", "SkaterGrrl"}));
    EXPECT_EQ(transcript(), QStringLiteral("JazzCat:  hey all"));
    EXPECT_EQ(child<QLabel>("imState")->text(), QStringLiteral("instant messages: on"));
    EXPECT_EQ(child<QLabel>("signedOn")->text(), QStringLiteral("signed on as SunnyTunes"));

    sim.memberSays("SkaterGrrl", "<b>yo</b>");
    sim.memberJoins("MikeyD2k");
    settle();
    EXPECT_EQ(transcript(), QStringLiteral("JazzCat:  hey all\nSkaterGrrl:  yo"));
    EXPECT_EQ(memberTexts().size(), 4);
}

TEST_F(RoomWindowTest, TheUserTypesThroughTheClientsInputBox) {
    auto* input = child<QLineEdit>("input");
    QTest::keyClicks(input, QStringLiteral("play love"));
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(sim.transcriptLines().back(), "SunnyTunes:\tplay love");
    EXPECT_TRUE(input->text().isEmpty());
    QTest::keyClick(input, Qt::Key_Return);  // an empty line sends nothing
    EXPECT_EQ(sim.transcriptLines().size(), 2u);
    settle();
    EXPECT_TRUE(transcript().endsWith(QStringLiteral("SunnyTunes:  play love")));
}

TEST_F(RoomWindowTest, AnotherMemberCanBeMadeToSpeak) {
    auto* speaker = child<QComboBox>("speaker");
    ASSERT_EQ(speaker->count(), 2);  // everyone but the user
    speaker->setCurrentIndex(speaker->findText(QStringLiteral("SkaterGrrl")));
    QTest::keyClicks(child<QLineEdit>("memberLine"), QStringLiteral("/play rock"));
    QTest::keyClick(child<QLineEdit>("memberLine"), Qt::Key_Return);
    EXPECT_EQ(sim.transcriptLines().back(), "SkaterGrrl:\t/play rock");
    settle();
    EXPECT_EQ(speaker->currentText(), QStringLiteral("SkaterGrrl"));  // kept across redraws
}

TEST_F(RoomWindowTest, ShowsWhomTheUserIgnoresAndADoubleClickSwitchesIt) {
    sim.setIgnored("JazzCat", true);
    settle();
    EXPECT_EQ(memberTexts().value(1), QStringLiteral("JazzCat  (ignored)"));

    auto* list = child<QListWidget>("members");
    emit list->itemDoubleClicked(list->item(1));
    EXPECT_FALSE(sim.isIgnored("JazzCat"));
    emit list->itemDoubleClicked(list->item(0));  // not the user itself
    EXPECT_FALSE(sim.isIgnored("SunnyTunes"));
}

TEST_F(RoomWindowTest, FollowsInstantMessageReceptionAndALeftRoom) {
    // Reception is switched through the client's own windows, as the program does it.
    clock.addPumpHook([this] { sim.deliverPosted(); });
    aol::Quartzline aol(sim, clock);
    aol.IMsOff();
    settle();
    EXPECT_FALSE(sim.imsReceptionOn());
    EXPECT_EQ(child<QLabel>("imState")->text(), QStringLiteral("instant messages: off"));

    sim.closeRoom();
    settle();
    EXPECT_EQ(child<QLabel>("roomName")->text(), QStringLiteral("no chat room open"));
    EXPECT_TRUE(transcript().isEmpty());
    EXPECT_FALSE(child<QLineEdit>("input")->isEnabled());
}

TEST_F(RoomWindowTest, ClosingTheRoomWindowOnlyMinimisesIt) {
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(RoomWindowTest, MembersChatNowAndThenWhileTheRoomIsLively) {
    chatter.setPace(30, 90);
    const std::size_t before = sim.transcriptLines().size();
    clock.advance(600);
    EXPECT_EQ(sim.transcriptLines().size(), before);  // off until switched on

    child<QCheckBox>("lively")->setChecked(true);
    EXPECT_TRUE(chatter.isEnabled());
    clock.advance(600);
    const auto lines = sim.transcriptLines();
    const std::size_t said = lines.size() - before;
    EXPECT_GE(said, 6u);  // ten minutes at one line every 30 to 90 seconds
    EXPECT_LE(said, 20u);
    for (std::size_t i = before; i < lines.size(); ++i) {
        const QString line = QString::fromStdString(lines[i]);
        const QString who = line.section(QStringLiteral(":\t"), 0, 0);
        EXPECT_TRUE(who == QStringLiteral("JazzCat") || who == QStringLiteral("SkaterGrrl"))
            << line.toStdString();
        EXPECT_TRUE(RoomChatter::cannedLines().contains(line.section(QStringLiteral(":\t"), 1)));
    }
    chatter.setEnabled(false);
    settle();
    EXPECT_FALSE(child<QCheckBox>("lively")->isChecked());
    clock.advance(600);
    EXPECT_EQ(sim.transcriptLines().size(), lines.size());
}

}  // namespace
