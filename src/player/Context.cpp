#include "player/Context.h"

#include <QDir>

namespace melodrop {

Context::Context(const Platform& p)
    : settings(p.settings),
      player(p.player),
      chtMelodrop(p.chtMelodrop),
      chat1(p.chat1),
      desktop(p.desktop),
      clock(p.clock),
      aol(p.aol),
      web(p.web),
      programFolder(p.programFolder),
      serverBase(p.serverBase),
      announcer(p.aol, state, p.serverBase + QStringLiteral("/zeph/melodrop/")) {}

QString Context::programFile(const QString& name) const {
    return programFolder + QDir::separator() + name;
}

}  // namespace melodrop
