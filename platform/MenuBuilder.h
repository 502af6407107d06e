#pragma once

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Creates Qt menus from menu templates. Every command action carries its command id in
// data() and reports it to the handler when triggered.
class CMenuBuilder
{
public:
    using CommandHandler = std::function<void(int commandId)>;

    // A menu bar with one menu per pop-up of the template; empty (and a warning logged)
    // when the template cannot be loaded.
    static QMenuBar* BuildMenuBar(int menuId, QWidget* parent, const CommandHandler& handler);
    // The items of the template's first pop-up as one menu; empty (and a warning logged)
    // when the template cannot be loaded.
    static QMenu* BuildPopup(int menuId, QWidget* parent, const CommandHandler& handler);
    // The command action with that id in a menu or menu bar, searched through sub-menus.
    static QAction* FindCommand(QWidget* menuOrBar, int commandId);
};
