#include "ui/OptionsMenuWidget.h"

namespace melodrop::ui {

namespace {

// A line that only shows a state may be long (why the chat client's link was refused): it is cut
// to a menu's width, and the whole of it is the item's tooltip.
QString shownCaption(QMenu& menu, const MenuItem& item) {
    constexpr int kWidestDisplayLine = 320;  // pixels
    if (item.kind != MenuItemKind::Display) return item.caption;
    const QString cut =
        menu.fontMetrics().elidedText(item.caption, Qt::ElideRight, kWidestDisplayLine);
    if (cut == item.caption) return cut;
    menu.setToolTipsVisible(true);
    return cut;
}

void fill(QMenu* menu, const MenuItem& item, const MenuChoice& onChoice) {
    for (const MenuItem& child : item.children) {
        if (!child.visible) continue;
        if (child.kind == MenuItemKind::Separator) {
            QAction* bar = menu->addSeparator();
            bar->setObjectName(child.name);
            continue;
        }
        if (child.kind == MenuItemKind::Submenu) {
            QMenu* sub = menu->addMenu(child.caption);
            sub->setObjectName(child.name);
            sub->menuAction()->setObjectName(child.name);
            sub->setEnabled(child.enabled);
            fill(sub, child, onChoice);
            continue;
        }
        QAction* action = menu->addAction(shownCaption(*menu, child));
        action->setObjectName(child.name);
        action->setCheckable(child.checkable);
        action->setChecked(child.checked);
        action->setEnabled(child.enabled);
        if (action->text() != child.caption) action->setToolTip(child.caption);
        if (child.kind != MenuItemKind::Action) continue;  // it only shows
        const QString name = child.name;
        QObject::connect(action, &QAction::triggered, menu, [onChoice, name] {
            if (onChoice) onChoice(name);
        });
    }
}

}  // namespace

QMenu* buildPopupMenu(const MenuItem& item, QWidget* parent, const MenuChoice& onChoice) {
    auto* menu = new QMenu(item.caption, parent);
    menu->setObjectName(item.name);
    fill(menu, item, onChoice);
    return menu;
}

}  // namespace melodrop::ui
