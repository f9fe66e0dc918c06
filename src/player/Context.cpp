#include "player/Context.h"

#include <QDir>

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

QString Context::programFile(const QString& name) const {
    return files.programFolder() + QDir::separator() + name;
}

}  // namespace melodrop
