#include "MenuBuilder.h"

#include "MenuTemplate.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {
void AddItems(QMenu* menu, const MenuPopupTemplate& popup,
              const CMenuBuilder::CommandHandler& handler)
{
    for (const MenuItemTemplate& item : popup.items) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.text);
        action->setData(item.commandId);
        action->setShortcut(QKeySequence(item.shortcut, QKeySequence::PortableText));
        const int commandId = item.commandId;
        QObject::connect(action, &QAction::triggered, menu, [handler, commandId] {
            if (handler)
                handler(commandId);
        });
    }
}
} // namespace

QMenuBar* CMenuBuilder::BuildMenuBar(int menuId, QWidget* parent, const CommandHandler& handler)
{
    auto* bar = new QMenuBar(parent);
    for (const MenuPopupTemplate& popup : MenuTemplate::Load(menuId).popups)
        AddItems(bar->addMenu(popup.text), popup, handler);
    return bar;
}

QMenu* CMenuBuilder::BuildPopup(int menuId, QWidget* parent, const CommandHandler& handler)
{
    auto* menu = new QMenu(parent);
    const MenuTemplate tpl = MenuTemplate::Load(menuId);
    if (tpl.IsValid())
        AddItems(menu, tpl.popups.constFirst(), handler);
    return menu;
}

QAction* CMenuBuilder::FindCommand(QWidget* menuOrBar, int commandId)
{
    const QList<QAction*> actions = menuOrBar->actions();
    for (QAction* action : actions) {
        QAction* found = nullptr;
        if (QMenu* subMenu = action->menu())
            found = FindCommand(subMenu, commandId);
        else if (!action->isSeparator() && action->data().toInt() == commandId)
            found = action;
        if (found)
            return found;
    }
    return nullptr;
}
