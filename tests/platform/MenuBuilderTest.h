#pragma once

#include <QObject>

// Builds the menu bar and the notification-area pop-up from their templates.
class MenuBuilderTest : public QObject
{
    Q_OBJECT

private slots:
    void menuBarHasThePopupsAndCommands();
    void trayPopupIsOneFlatList();
    void triggeringAnActionReportsItsCommand();
    void unknownMenusGiveEmptyMenus();
};
