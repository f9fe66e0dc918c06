#include "base/Context.h"

namespace melodrop {

Context::Context(const Boundaries& b, const ChatParts& chat)
    : settings(b.settings),
      playback(b.player),
      player(playback),
      chtMelodrop(chat.chtMelodrop),
      chat1(chat.chat1),
      desktop(b.desktop),
      clock(b.clock),
      aol(chat.aol),
      web(b.web),
      files(b.files),
      serverBase(b.serverBase),
      announcer(chat.aol, state, b.serverBase + QStringLiteral("/zeph/melodrop/")) {}

}  // namespace melodrop
