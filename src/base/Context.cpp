#include "base/Context.h"

namespace melodrop {

Context::Context(const Platform& p)
    : settings(p.settings),
      playback(p.player),
      player(playback),
      chtMelodrop(p.chtMelodrop),
      chat1(p.chat1),
      desktop(p.desktop),
      clock(p.clock),
      aol(p.aol),
      web(p.web),
      files(p.files),
      serverBase(p.serverBase),
      announcer(p.aol, state, p.serverBase + QStringLiteral("/zeph/melodrop/")) {}

}  // namespace melodrop
