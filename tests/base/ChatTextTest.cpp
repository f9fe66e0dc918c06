// Text for the chat room: what Windows-1252 can encode stays as it is, other scripts are written
// in Latin letters.
#include <gtest/gtest.h>

#include "aol/Ansi.h"
#include "base/ChatText.h"

using namespace melodrop;

TEST(ChatText, EveryCharacterOfWindows1252StaysAsItIs) {
    // All 256 bytes as the client's code page reads them.
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
    const QString all = QString::fromStdString(aol::AnsiToUtf8(bytes));
    EXPECT_EQ(readableInChatRoom(all), all);
    EXPECT_EQ(aol::Utf8ToAnsi(readableInChatRoom(all).toStdString()), bytes);
}

TEST(ChatText, OtherScriptsAreWrittenInLatinLetters) {
    const struct {
        const char* given;
        const char* readable;
    } cases[] = {
        {"東京の夜.mp3", "dong jingno ye.mp3"},
        {"кино - группа крови.mp3", "kino - gruppa krovi.mp3"},
        {"Ελληνικά", "Ellenika"},
        {"café ŝtelo", "café stelo"},  // é is Windows-1252's, ŝ is not
        {"„quoted“ €5 — Őrség", "„quoted“ €5 — Orség"},
        {"<b>Łódź</b>", "<b>Lódz</b>"},
    };
    for (const auto& c : cases) {
        const QString readable = readableInChatRoom(QString::fromUtf8(c.given));
        EXPECT_EQ(readable, QString::fromUtf8(c.readable)) << c.given;
        EXPECT_EQ(aol::Utf8ToAnsi(readable.toStdString()).find('?'), std::string::npos) << c.given;
    }
    // What has no Latin form still reaches the module, which writes "?" for it.
    EXPECT_EQ(readableInChatRoom(QString::fromUtf8("🎵")), QString::fromUtf8("🎵"));
}
