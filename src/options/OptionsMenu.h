#pragma once
// The options popup menu as a model: names, captions in display order, separators, submenus,
// check marks, and what each item does. Items and their actions are bound in one place
// (buildOptionsMenu, from OptionsMenuActions), so an item that is meant to act cannot lose its
// action: OptionsMenuActions has a field per such item, and a field left out does not build.
// The widgets build their popup menus from the model each time they pop up.
#include <QList>
#include <QString>
#include <functional>
#include <utility>

#include "base/OptionsState.h"

namespace melodrop {

// What an item is: one that acts when chosen, a separator, a submenu, or one that only shows its
// caption (the greyed-out `defaultmp3player`; a line that tells a state).
enum class MenuItemKind { Action, Separator, Submenu, Display };

struct MenuItem {
    QString name;
    QString caption;
    MenuItemKind kind = MenuItemKind::Action;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    QList<MenuItem> children;
    std::function<void()> action;  // what an Action item does when chosen
};

// What an item does when chosen. There is no empty one: it is made from a function only.
class MenuAction {
public:
    template <typename Function>
    MenuAction(Function function) : function_(std::move(function)) {}
    const std::function<void()>& function() const { return function_; }

private:
    std::function<void()> function_;
};

// One field per item that acts, named as the item.
struct OptionsMenuActions {
    MenuAction alwaysontop;
    // mp3 player options
    MenuAction play;
    MenuAction stop;
    MenuAction pause;
    MenuAction unpause;
    MenuAction findmp3;
    MenuAction mp3name;
    MenuAction continuous;
    MenuAction random;
    MenuAction setmp3dir;
    MenuAction refresh;
    MenuAction setvolume;
    // aol options
    MenuAction advertise;
    MenuAction idle;
    MenuAction idlelinker;
    MenuAction chatcommands;
    MenuAction viewcommands;
    // skins
    MenuAction changeskin;
    MenuAction skinfetch;

    MenuAction checkforupdates;
    MenuAction about;
    MenuAction rollup;
    MenuAction minimizetosystray;
};

// The whole `options` menu with the check marks and captions of the given state, each item that
// acts bound to its action, and the chat client's link in a few words as the status line
// `linkstatus` of the aol options.
MenuItem buildOptionsMenu(const OptionsState& state, const OptionsMenuActions& actions,
                          const QString& linkSummary);
// The item of that name anywhere in the tree, or nullptr.
const MenuItem* findMenuItem(const MenuItem& root, const QString& name);

}  // namespace melodrop
