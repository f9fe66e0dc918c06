#include "options/OptionsMenu.h"

namespace melodrop {

namespace {

MenuItem named(const QString& name, const QString& caption, MenuItemKind kind) {
    MenuItem m;
    m.name = name;
    m.caption = caption;
    m.kind = kind;
    return m;
}

MenuItem item(const QString& name, const QString& caption, const MenuAction& action) {
    MenuItem m = named(name, caption, MenuItemKind::Action);
    m.action = action.function();
    return m;
}

MenuItem check(const QString& name, const QString& caption, bool checked,
               const MenuAction& action) {
    MenuItem m = item(name, caption, action);
    m.checkable = true;
    m.checked = checked;
    return m;
}

MenuItem bar(const QString& name) {
    return named(name, QStringLiteral("-"), MenuItemKind::Separator);
}

MenuItem submenu(const QString& name, const QString& caption, QList<MenuItem> children) {
    MenuItem m = named(name, caption, MenuItemKind::Submenu);
    m.children = std::move(children);
    return m;
}

MenuItem display(const QString& name, const QString& caption, bool enabled) {
    MenuItem m = named(name, caption, MenuItemKind::Display);
    m.enabled = enabled;
    return m;
}

}  // namespace

MenuItem buildOptionsMenu(const OptionsState& s, const OptionsMenuActions& a,
                          const QString& linkSummary) {
    const MenuItem player =
        submenu(QStringLiteral("mp3playeroptions"), QStringLiteral("- mp3 player options"),
                {
                    item(QStringLiteral("play"), QStringLiteral("- play"), a.play),
                    item(QStringLiteral("stop"), QStringLiteral("- stop"), a.stop),
                    item(QStringLiteral("pause"), QStringLiteral("- pause"), a.pause),
                    item(QStringLiteral("unpause"), QStringLiteral("- unpause"), a.unpause),
                    bar(QStringLiteral("bar2")),
                    item(QStringLiteral("findmp3"), QStringLiteral("- find mp3"), a.findmp3),
                    bar(QStringLiteral("bar12")),
                    item(QStringLiteral("mp3name"), QStringLiteral("- mp3 name?"), a.mp3name),
                    bar(QStringLiteral("bar5")),
                    check(QStringLiteral("continuous"), QStringLiteral("- continuous"),
                          s.continuous, a.continuous),
                    check(QStringLiteral("random"), QStringLiteral("- random"), s.random, a.random),
                    bar(QStringLiteral("bar3")),
                    item(QStringLiteral("setmp3dir"), QStringLiteral("- set mp3 dir"), a.setmp3dir),
                    item(QStringLiteral("refresh"), QStringLiteral("- refresh mp3s"), a.refresh),
                    bar(QStringLiteral("bar4")),
                    item(QStringLiteral("setvolume"), QStringLiteral("- set volume"), a.setvolume),
                });

    const MenuItem aol =
        submenu(QStringLiteral("aoloptions"), QStringLiteral("- aol options"),
                {
                    check(QStringLiteral("advertise"), QStringLiteral("- advertise"), s.advertise,
                          a.advertise),
                    bar(QStringLiteral("line2")),
                    check(QStringLiteral("idle"), QStringLiteral("- idle"), s.idle, a.idle),
                    check(QStringLiteral("idlelinker"), QStringLiteral("- idle linker"),
                          s.idlelinker, a.idlelinker),
                    bar(QStringLiteral("line3")),
                    check(QStringLiteral("chatcommands"), QStringLiteral("- chat commands"),
                          s.chatcommands, a.chatcommands),
                    item(QStringLiteral("viewcommands"), QStringLiteral("- view chat commands"),
                         a.viewcommands),
                    bar(QStringLiteral("line4")),
                    // How the chat client is reached: a status line, not a choice.
                    display(QStringLiteral("linkstatus"), QStringLiteral("- ") + linkSummary, true),
                });

    const MenuItem skins = submenu(
        QStringLiteral("skins"), QStringLiteral("- skins"),
        {
            item(QStringLiteral("changeskin"), QStringLiteral("- change skin"), a.changeskin),
            item(QStringLiteral("skinfetch"), QStringLiteral("- skinfetch"), a.skinfetch),
        });

    return submenu(
        QStringLiteral("options"), QStringLiteral("options"),
        {
            check(QStringLiteral("alwaysontop"), QStringLiteral("- always on top"), s.alwaysontop,
                  a.alwaysontop),
            bar(QStringLiteral("bar9")),
            player,
            bar(QStringLiteral("bar8")),
            aol,
            bar(QStringLiteral("bar")),
            skins,
            bar(QStringLiteral("bar10")),
            // Shown greyed out, as it always was: choosing the default player is not offered.
            display(QStringLiteral("defaultmp3player"), QStringLiteral("- default mp3 player"),
                    false),
            bar(QStringLiteral("line")),
            item(QStringLiteral("checkforupdates"), QStringLiteral("- check for updates"),
                 a.checkforupdates),
            item(QStringLiteral("about"), QStringLiteral("- about"), a.about),
            item(QStringLiteral("rollup"), s.rollupCaption, a.rollup),
            item(QStringLiteral("minimizetosystray"), QStringLiteral("- minimize to systray"),
                 a.minimizetosystray),
        });
}

const MenuItem* findMenuItem(const MenuItem& root, const QString& name) {
    if (root.name == name) return &root;
    for (const MenuItem& child : root.children)
        if (const MenuItem* found = findMenuItem(child, name)) return found;
    return nullptr;
}

}  // namespace melodrop
