// The real chat scanner on the simulated client and the virtual clock.
#include "chat/TranscriptChatScanner.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <memory>
#include <vector>

#include "aol/Quartzline.h"
#include "aol/sim/SimClient.h"
#include "base/VirtualClock.h"

namespace melodrop {
namespace {

struct Heard {
    QString screenName;
    QString text;
    double at;
    bool operator==(const Heard& o) const { return screenName == o.screenName && text == o.text; }
};

void PrintTo(const Heard& h, std::ostream* os) {
    *os << h.screenName.toStdString() << "|" << h.text.toStdString() << "@" << h.at;
}

Heard H(const char* who, const char* text) {
    return Heard{QString::fromUtf8(who), QString::fromUtf8(text), 0};
}

class Scanner : public ::testing::Test {
protected:
    Scanner() {
        clock.addPumpHook([this] { client.deliverPosted(); });
        listen(scanner, heard);
        client.signOn("Bob");
        client.openRoom("Lobby");
        client.memberJoins("Alice");
    }
    void listen(ChatScanner& s, std::vector<Heard>& into) {
        QObject::connect(&s, &ChatScanner::ChatLine, &s,
                         [this, &into](const QString& who, const QString& text) {
                             into.push_back(Heard{who, text, clock.Now()});
                         });
    }

    aol::sim::SimClient client;
    VirtualClock clock;
    TranscriptChatScanner scanner{client, clock};
    std::vector<Heard> heard;
};

TEST_F(Scanner, NothingBeforeScanOn) {
    EXPECT_FALSE(scanner.isScanning());
    client.memberSays("Alice", "early");
    clock.advance(1.0);
    EXPECT_TRUE(heard.empty());
}

TEST_F(Scanner, ReportsNewLinesInOrderButNotTheBaseline) {
    client.memberSays("Alice", "already there");
    scanner.ScanOn();
    EXPECT_TRUE(scanner.isScanning());
    client.memberSays("Alice", "one");
    client.userTypes("two");
    client.memberSays("Alice", "three");
    clock.advance(0.05);
    EXPECT_EQ(heard, (std::vector<Heard>{H("Alice", "one"), H("Bob", "two"), H("Alice", "three")}));
    clock.advance(1.0);
    EXPECT_EQ(heard.size(), 3u);
}

TEST_F(Scanner, NothingAfterScanOff) {
    scanner.ScanOn();
    scanner.ScanOff();
    scanner.ScanOff();  // harmless
    client.memberSays("Alice", "unheard");
    clock.advance(1.0);
    EXPECT_TRUE(heard.empty());
    scanner.ScanOn();  // the line said while off is part of the new baseline
    clock.advance(1.0);
    EXPECT_TRUE(heard.empty());
}

TEST_F(Scanner, ScanOnWhileOnKeepsTheBaseline) {
    scanner.ScanOn();
    client.memberSays("Alice", "between");
    scanner.ScanOn();
    clock.advance(0.05);
    EXPECT_EQ(heard, std::vector<Heard>{H("Alice", "between")});
}

TEST_F(Scanner, ALineTypedIsReportedWithin50Milliseconds) {
    scanner.ScanOn();
    clock.advance(1.234);
    for (int i = 0; i < 20; ++i) {
        const double typedAt = clock.Now();
        client.userTypes("line " + std::to_string(i));
        clock.advance(0.05);
        ASSERT_EQ(heard.size(), static_cast<std::size_t>(i + 1));
        EXPECT_LE(heard.back().at - typedAt, 0.05);
        EXPECT_LE(heard.back().at - typedAt, TranscriptWatch::kFastMilliseconds / 1000.0 + 1e-9);
        clock.advance(0.0137 * (i % 3));  // type at various moments between polls
    }
}

TEST_F(Scanner, CopesWithATranscriptThatDropsItsOldestLines) {
    client.setTranscriptLimit(3);
    for (int i = 0; i < 3; ++i) client.memberSays("Alice", "old");
    scanner.ScanOn();
    std::vector<Heard> expected;
    for (int i = 0; i < 12; ++i) {
        const std::string text = i % 4 == 0 ? "same" : "line " + std::to_string(i);
        client.memberSays(i % 2 ? "Alice" : "Carol", text);
        expected.push_back(H(i % 2 ? "Alice" : "Carol", text.c_str()));
        clock.advance(0.1);
    }
    EXPECT_EQ(heard, expected);
}

TEST_F(Scanner, CopesWithTheRoomClosingAndReopening) {
    scanner.ScanOn();
    client.memberSays("Alice", "before close");
    clock.advance(0.05);
    client.closeRoom();
    clock.advance(0.5);
    client.openRoom("Lobby");
    clock.advance(0.5);
    client.userTypes("back again");
    clock.advance(0.05);
    EXPECT_EQ(heard, (std::vector<Heard>{H("Alice", "before close"), H("Bob", "back again")}));
}

TEST_F(Scanner, CopesWithThePrivateRoomReplacingTheRoom) {
    aol::Quartzline q(client, clock);
    scanner.ScanOn();
    q.PrivateRoom("hideout");
    q.ChatSend("made it");
    clock.advance(0.05);
    EXPECT_EQ(heard, std::vector<Heard>{H("Bob", "made it")});
}

TEST_F(Scanner, CopesWithNoClient) {
    client.quit();
    scanner.ScanOn();
    clock.advance(0.5);
    EXPECT_TRUE(heard.empty());
    client.start();
    client.signOn("Bob");
    client.openRoom("Lobby");
    client.userTypes("hello");
    clock.advance(0.05);
    EXPECT_EQ(heard, std::vector<Heard>{H("Bob", "hello")});
}

TEST_F(Scanner, TextIsConvertedFromWindows1252) {
    scanner.ScanOn();
    client.memberSays("Zo\u00EB", "\u00B7\u00B7\u00F7\u2022 caf\u00E9");
    clock.advance(0.05);
    EXPECT_EQ(heard, std::vector<Heard>{H("Zo\u00EB", "\u00B7\u00B7\u00F7\u2022 caf\u00E9")});
}

TEST_F(Scanner, AHandlerSwitchingOffStopsTheBatch) {
    QObject::connect(&scanner, &ChatScanner::ChatLine, &scanner,
                     [this](const QString&, const QString&) { scanner.ScanOff(); });
    scanner.ScanOn();
    client.memberSays("Alice", "first");
    client.memberSays("Alice", "second");
    clock.advance(0.5);
    EXPECT_EQ(heard, std::vector<Heard>{H("Alice", "first")});
}

TEST_F(Scanner, AHandlerSwitchingOffAndOnTakesANewBaseline) {
    bool once = false;
    QObject::connect(&scanner, &ChatScanner::ChatLine, &scanner,
                     [&](const QString&, const QString&) {
                         if (once) return;
                         once = true;
                         scanner.ScanOff();
                         scanner.ScanOn();
                     });
    scanner.ScanOn();
    client.memberSays("Alice", "first");
    client.memberSays("Alice", "second");  // already there at the new ScanOn
    clock.advance(0.05);
    client.memberSays("Alice", "third");
    clock.advance(0.05);
    EXPECT_EQ(heard, (std::vector<Heard>{H("Alice", "first"), H("Alice", "third")}));
}

TEST_F(Scanner, AHandlerMayDeleteTheScanner) {
    auto* owned = new TranscriptChatScanner(client, clock);
    int calls = 0;
    QObject::connect(owned, &ChatScanner::ChatLine, owned, [&](const QString&, const QString&) {
        ++calls;
        delete owned;
    });
    owned->ScanOn();
    client.memberSays("Alice", "first");
    client.memberSays("Alice", "second");
    clock.advance(0.5);
    EXPECT_EQ(calls, 1);
}

// Automatic ignoring as the program does it: the Chat1 handler stops its scanner, ignores the
// member through the module (which waits, pumping), and the resume step restarts the scanner.
// The command scanner keeps reporting meanwhile.
TEST_F(Scanner, AutomaticIgnoreRoundTrip) {
    TranscriptChatScanner chat1(client, clock);
    std::vector<Heard> chat1Heard;
    listen(chat1, chat1Heard);
    aol::Quartzline q(client, clock);
    aol::QuartzlineHooks hooks;
    hooks.autoIgnoreTag = [&] { return chat1.Tag().toStdString(); };
    hooks.setAutoIgnoreTag = [&](const std::string& t) { chat1.setTag(QString::fromStdString(t)); };
    hooks.autoIgnoreScanOn = [&] { chat1.ScanOn(); };
    q.setHooks(hooks);
    client.memberJoins("Spammer");
    double resumedAt = -1;
    QObject::connect(&chat1, &ChatScanner::ChatLine, &chat1,
                     [&](const QString& who, const QString&) {
                         if (who != QStringLiteral("Spammer")) return;
                         chat1.ScanOff();
                         chat1.setTag(QStringLiteral("off"));
                         q.ChatIgnore("Spammer");
                         resumedAt = clock.Now();
                     });
    scanner.ScanOn();
    chat1.ScanOn();
    client.memberSays("Spammer", "flood");
    clock.advance(0.05);
    // The ignore is under way inside the handler above; by now it has finished.
    EXPECT_GT(resumedAt, 1.0);
    EXPECT_TRUE(client.isIgnored("Spammer"));
    EXPECT_TRUE(chat1.isScanning());
    EXPECT_EQ(chat1.Tag(), QStringLiteral("on"));
    client.memberSays("Spammer", "more");  // ignored: never reaches the room
    client.memberSays("Alice", "after");
    clock.advance(0.05);
    EXPECT_EQ(chat1Heard, (std::vector<Heard>{H("Spammer", "flood"), H("Alice", "after")}));
    EXPECT_EQ(heard, (std::vector<Heard>{H("Spammer", "flood"), H("Alice", "after")}));
}

TEST_F(Scanner, TheOtherScannerReportsDuringAnIgnore) {
    TranscriptChatScanner chat1(client, clock);
    aol::Quartzline q(client, clock);
    client.memberJoins("Spammer");
    QObject::connect(&chat1, &ChatScanner::ChatLine, &chat1,
                     [&](const QString& who, const QString&) {
                         if (who != QStringLiteral("Spammer")) return;
                         chat1.ScanOff();
                         client.memberSays("Alice", "during");
                         q.ChatIgnore("Spammer");
                     });
    scanner.ScanOn();
    chat1.ScanOn();
    client.memberSays("Spammer", "flood");
    const double start = clock.Now();
    clock.advance(0.02);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1], H("Alice", "during"));
    EXPECT_LE(heard[1].at - start, 0.05);  // reported while the ignore was still waiting
}

}  // namespace
}  // namespace melodrop
