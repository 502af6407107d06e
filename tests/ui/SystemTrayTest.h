// Checks the notification-area icon against a fake desktop: when it is there, how hiding
// and showing it add and delete it, and what the mouse on it does.
#pragma once

#include <QObject>

class TestSystemTray : public QObject
{
    Q_OBJECT

private slots:
    void withoutNotificationAreaEveryOperationDoesNothing();
    void createPutsTheIconWithItsTipInTheNotificationArea();
    void hideAndShowDeleteAndAddTheIconEachTime();
    void rightButtonUpOpensTheMenuWithItsDefaultItem();
    void doubleClickRunsTheDefaultItemWithoutTheMenu();
    void otherMouseEventsAndOtherIconsAreIgnored();
    void defaultItemByCommandOrMissing();
    void menuForAnAreaThatDrawsItRunsTheChosenCommandLater();
};
