#pragma once
// The options popup menu as a model: names, captions in display order, separators, submenus
// and check marks. The widgets build their popup menus from it each time they pop up.
#include <QList>
#include <QString>

#include "base/OptionsState.h"

namespace melodrop {

struct MenuItem {
    QString name;
    QString caption;
    bool separator = false;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    QList<MenuItem> children;
};

// The whole `options` menu with the check marks and captions of the given state.
MenuItem buildOptionsMenu(const OptionsState& state);
// The item of that name anywhere in the tree, or nullptr.
const MenuItem* findMenuItem(const MenuItem& root, const QString& name);

}  // namespace melodrop
