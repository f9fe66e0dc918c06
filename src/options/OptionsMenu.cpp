#include "options/OptionsMenu.h"

namespace melodrop {

namespace {

MenuItem item(const QString& name, const QString& caption) {
    MenuItem m;
    m.name = name;
    m.caption = caption;
    return m;
}

MenuItem check(const QString& name, const QString& caption, bool checked) {
    MenuItem m = item(name, caption);
    m.checkable = true;
    m.checked = checked;
    return m;
}

MenuItem bar(const QString& name) {
    MenuItem m = item(name, QStringLiteral("-"));
    m.separator = true;
    return m;
}

}  // namespace

MenuItem buildOptionsMenu(const OptionsState& s) {
    MenuItem player =
        item(QStringLiteral("mp3playeroptions"), QStringLiteral("- mp3 player options"));
    player.children = {
        item(QStringLiteral("play"), QStringLiteral("- play")),
        item(QStringLiteral("stop"), QStringLiteral("- stop")),
        item(QStringLiteral("pause"), QStringLiteral("- pause")),
        item(QStringLiteral("unpause"), QStringLiteral("- unpause")),
        bar(QStringLiteral("bar2")),
        item(QStringLiteral("findmp3"), QStringLiteral("- find mp3")),
        bar(QStringLiteral("bar12")),
        item(QStringLiteral("mp3name"), QStringLiteral("- mp3 name?")),
        bar(QStringLiteral("bar5")),
        check(QStringLiteral("continuous"), QStringLiteral("- continuous"), s.continuous),
        check(QStringLiteral("random"), QStringLiteral("- random"), s.random),
        bar(QStringLiteral("bar3")),
        item(QStringLiteral("setmp3dir"), QStringLiteral("- set mp3 dir")),
        item(QStringLiteral("refresh"), QStringLiteral("- refresh mp3s")),
        bar(QStringLiteral("bar4")),
        item(QStringLiteral("setvolume"), QStringLiteral("- set volume")),
    };

    MenuItem aol = item(QStringLiteral("aoloptions"), QStringLiteral("- aol options"));
    aol.children = {
        check(QStringLiteral("advertise"), QStringLiteral("- advertise"), s.advertise),
        bar(QStringLiteral("line2")),
        check(QStringLiteral("idle"), QStringLiteral("- idle"), s.idle),
        check(QStringLiteral("idlelinker"), QStringLiteral("- idle linker"), s.idlelinker),
        bar(QStringLiteral("line3")),
        check(QStringLiteral("chatcommands"), QStringLiteral("- chat commands"), s.chatcommands),
        item(QStringLiteral("viewcommands"), QStringLiteral("- view chat commands")),
    };

    MenuItem skins = item(QStringLiteral("skins"), QStringLiteral("- skins"));
    skins.children = {
        item(QStringLiteral("changeskin"), QStringLiteral("- change skin")),
        item(QStringLiteral("skinfetch"), QStringLiteral("- skinfetch")),
    };

    MenuItem defaultPlayer =
        item(QStringLiteral("defaultmp3player"), QStringLiteral("- default mp3 player"));
    defaultPlayer.enabled = false;

    MenuItem root = item(QStringLiteral("options"), QStringLiteral("options"));
    root.children = {
        check(QStringLiteral("alwaysontop"), QStringLiteral("- always on top"), s.alwaysontop),
        bar(QStringLiteral("bar9")),
        player,
        bar(QStringLiteral("bar8")),
        aol,
        bar(QStringLiteral("bar")),
        skins,
        bar(QStringLiteral("bar10")),
        defaultPlayer,
        bar(QStringLiteral("line")),
        item(QStringLiteral("checkforupdates"), QStringLiteral("- check for updates")),
        item(QStringLiteral("about"), QStringLiteral("- about")),
        item(QStringLiteral("rollup"), s.rollupCaption),
        item(QStringLiteral("minimizetosystray"), QStringLiteral("- minimize to systray")),
    };
    return root;
}

const MenuItem* findMenuItem(const MenuItem& root, const QString& name) {
    if (root.name == name) return &root;
    for (const MenuItem& child : root.children)
        if (const MenuItem* found = findMenuItem(child, name)) return found;
    return nullptr;
}

}  // namespace melodrop
