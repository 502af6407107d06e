#include "SystemTrayTest.h"

#include "FakeNotificationIcon.h"
#include "MenuBuilder.h"
#include "NotificationIconEvent.h"
#include "SystemTray.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>

#include <vector>

namespace {

constexpr int kTrayMenu = 131;
constexpr int kCallback = 0x40A;
constexpr int kAbout = 57664;
constexpr int kLoadPreset = 32002;
constexpr int kRestore = 32008;

// A tray icon as the main window sets it up, with the commands it delivers.
struct Tray
{
    std::vector<int> commands;
    CSystemTray tray{[this](int id) { commands.push_back(id); }};

    bool Create()
    {
        const bool created = tray.Create(kCallback, QStringLiteral("Korvane"), QIcon(), kTrayMenu);
        tray.SetDefaultMenuItem(4, true);
        return created;
    }
};

// Delivers every event posted so far: the desktop's clicks reach the icon posted.
void DeliverPosted()
{
    QCoreApplication::sendPostedEvents();
}

} // namespace

void TestSystemTray::withoutNotificationAreaEveryOperationDoesNothing()
{
    CFakeNotificationIcon desktop(false);
    Tray tray;
    QVERIFY(!tray.Create());
    QVERIFY(!tray.tray.IsEnabled());
    tray.tray.HideTrayIcon();
    tray.tray.ShowTrayIcon();
    tray.tray.RemoveTrayIcon();
    QCOMPARE(desktop.Adds(), 0);
    QCOMPARE(desktop.Deletes(), 0);
    QVERIFY(!tray.tray.IsHidden());
}

void TestSystemTray::createPutsTheIconWithItsTipInTheNotificationArea()
{
    CFakeNotificationIcon desktop;
    {
        Tray tray;
        QVERIFY(tray.Create());
        QVERIFY(tray.tray.IsEnabled());
        const NotificationIcon* icon = desktop.Find(kTrayMenu);
        QVERIFY(icon);
        QCOMPARE(icon->tip, QStringLiteral("Korvane"));
        QCOMPARE(icon->callbackMessage, kCallback);
        QCOMPARE(icon->receiver, &tray.tray);
        // A second icon with the same id is refused, and that one is unusable.
        Tray twin;
        QVERIFY(!twin.Create());
        QVERIFY(!twin.tray.IsEnabled());
    }
    // Destroying the tray object takes its icon away.
    QVERIFY(!desktop.Find(kTrayMenu));
    QCOMPARE(desktop.Deletes(), 1);
}

void TestSystemTray::hideAndShowDeleteAndAddTheIconEachTime()
{
    CFakeNotificationIcon desktop;
    Tray tray;
    QVERIFY(tray.Create());
    for (int round = 1; round <= 3; ++round) {
        tray.tray.HideTrayIcon();
        tray.tray.HideTrayIcon();
        QVERIFY(!desktop.Find(kTrayMenu));
        QVERIFY(tray.tray.IsHidden());
        QCOMPARE(desktop.Deletes(), round);
        tray.tray.ShowTrayIcon();
        tray.tray.ShowTrayIcon();
        QVERIFY(desktop.Find(kTrayMenu));
        QCOMPARE(desktop.Adds(), round + 1);
    }
    // A hidden icon removed for good is not deleted twice, and cannot come back.
    tray.tray.HideTrayIcon();
    tray.tray.RemoveTrayIcon();
    tray.tray.ShowTrayIcon();
    QCOMPARE(desktop.Deletes(), 4);
    QCOMPARE(desktop.Adds(), 4);
    QVERIFY(!tray.tray.IsEnabled());
}

void TestSystemTray::rightButtonUpOpensTheMenuWithItsDefaultItem()
{
    CFakeNotificationIcon desktop;
    Tray tray;
    QVERIFY(tray.Create());
    desktop.ScriptChoice(kLoadPreset);
    QVERIFY(desktop.Click(kTrayMenu, TrayMouse::RightButtonUp));
    DeliverPosted();
    QCOMPARE(desktop.Menus().size(), size_t{1});
    const auto& items = desktop.Menus()[0];
    const QStringList texts{"About", "", "Load a preset", "Unload current preset",
                            "KRV",   "", "Exit"};
    const std::vector<int> ids{kAbout, 0, kLoadPreset, 32005, kRestore, 0, 57665};
    QCOMPARE(items.size(), size_t(texts.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        QCOMPARE(items[i].text, texts[qsizetype(i)]);
        QCOMPARE(items[i].separator, ids[i] == 0);
        QCOMPARE(items[i].commandId, ids[i]);
        QCOMPARE(items[i].isDefault, items[i].text == QStringLiteral("KRV"));
    }
    QCOMPARE(tray.commands, std::vector<int>{kLoadPreset});

    // A menu closed without a choice sends nothing.
    QVERIFY(desktop.Click(kTrayMenu, TrayMouse::RightButtonUp));
    DeliverPosted();
    QCOMPARE(desktop.Menus().size(), size_t{2});
    QCOMPARE(tray.commands.size(), size_t{1});
}

void TestSystemTray::doubleClickRunsTheDefaultItemWithoutTheMenu()
{
    CFakeNotificationIcon desktop;
    Tray tray;
    QVERIFY(tray.Create());
    QVERIFY(desktop.Click(kTrayMenu, TrayMouse::LeftDoubleClick));
    DeliverPosted();
    QCOMPARE(tray.commands, std::vector<int>{kRestore});
    QVERIFY(desktop.Menus().empty());
    QCOMPARE(tray.tray.OnTrayNotify(kTrayMenu, TrayMouse::LeftDoubleClick), 1);
}

void TestSystemTray::otherMouseEventsAndOtherIconsAreIgnored()
{
    CFakeNotificationIcon desktop;
    Tray tray;
    QVERIFY(tray.Create());
    for (unsigned message : {TrayMouse::RightButtonDown, TrayMouse::LeftButtonDown,
                             TrayMouse::LeftButtonUp, TrayMouse::MouseMove})
        QCOMPARE(tray.tray.OnTrayNotify(kTrayMenu, message), 1);
    QCOMPARE(tray.tray.OnTrayNotify(kTrayMenu + 1, TrayMouse::RightButtonUp), 0);
    QCOMPARE(tray.tray.OnTrayNotify(kTrayMenu + 1, TrayMouse::LeftDoubleClick), 0);
    // The same through the desktop's own events, with another icon's id or another message.
    QCoreApplication::postEvent(
        &tray.tray, new CNotificationIconEvent(kCallback, kTrayMenu + 1, TrayMouse::RightButtonUp));
    QCoreApplication::postEvent(
        &tray.tray, new CNotificationIconEvent(kCallback + 1, kTrayMenu, TrayMouse::RightButtonUp));
    DeliverPosted();
    QVERIFY(desktop.Menus().empty());
    QVERIFY(tray.commands.empty());
}

void TestSystemTray::defaultItemByCommandOrMissing()
{
    CFakeNotificationIcon desktop;
    Tray tray;
    QVERIFY(tray.Create());
    QVERIFY(tray.tray.SetDefaultMenuItem(kAbout, false));
    QCOMPARE(tray.tray.OnTrayNotify(kTrayMenu, TrayMouse::LeftDoubleClick), 1);
    QCOMPARE(tray.tray.OnTrayNotify(kTrayMenu, TrayMouse::RightButtonUp), 1);
    QCOMPARE(tray.commands, std::vector<int>{kAbout});
    QVERIFY(desktop.Menus()[0][0].isDefault);

    // No item at that position or with that id: a double click does nothing.
    QVERIFY(!tray.tray.SetDefaultMenuItem(7, true));
    QCOMPARE(tray.tray.OnTrayNotify(kTrayMenu, TrayMouse::LeftDoubleClick), 0);
    QVERIFY(!tray.tray.SetDefaultMenuItem(12345, false));
    QCOMPARE(tray.commands.size(), size_t{1});
}

// A notification area that draws the icon's menu itself gets the tray menu with its default
// item; a choice there reaches the window once the area is done with the menu.
void TestSystemTray::menuForAnAreaThatDrawsItRunsTheChosenCommandLater()
{
    CFakeNotificationIcon desktop;
    Tray tray;
    QVERIFY(tray.Create());
    QMenu* menu = desktop.Find(kTrayMenu)->menu;
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 7);
    QVERIFY(menu->defaultAction());
    QCOMPARE(menu->defaultAction()->data().toInt(), kRestore);
    CMenuBuilder::FindCommand(menu, kLoadPreset)->trigger();
    QVERIFY(tray.commands.empty());
    DeliverPosted();
    QCOMPARE(tray.commands, std::vector<int>{kLoadPreset});
}
