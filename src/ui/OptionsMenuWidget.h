#pragma once
// Builds a Qt popup menu from the options menu model: one QMenu per submenu and one QAction per
// item, each named after its item (objectName), with captions, check marks and greyed-out items
// as the model says. Choosing an item reports its name.
#include <QMenu>
#include <functional>

#include "options/OptionsMenu.h"

namespace melodrop::ui {

using MenuChoice = std::function<void(const QString& name)>;

// A new menu of the item's children, owned by parent.
QMenu* buildPopupMenu(const MenuItem& item, QWidget* parent, const MenuChoice& onChoice);

}  // namespace melodrop::ui
