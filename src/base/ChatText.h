#pragma once
// Text on its way into the chat room, which shows only what Windows-1252 can encode (the
// chat-client module turns every other character into "?"). Characters of other scripts are
// written in Latin letters instead, with ICU's "Any-Latin; Latin-ASCII" transliteration:
// "東京の夜.mp3" reads "dong jingno ye.mp3", "Кино.mp3" reads "Kino.mp3". Every character that
// Windows-1252 can encode is kept as it is.
#include <QString>

namespace melodrop {

QString readableInChatRoom(const QString& text);

}  // namespace melodrop
