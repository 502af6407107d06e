#include "MenuBuilderTest.h"

#include "MenuBuilder.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {
// The menu's items as "text=id", separators as "-".
QStringList Items(const QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator()
                      ? QStringLiteral("-")
                      : QStringLiteral("%1=%2%3")
                            .arg(action->text())
                            .arg(action->data().toInt())
                            .arg(action->shortcut().isEmpty()
                                     ? QString()
                                     : QLatin1Char(' ') + action->shortcut().toString()));
    return items;
}
} // namespace

void MenuBuilderTest::menuBarHasThePopupsAndCommands()
{
    QWidget window;
    QMenuBar* bar = CMenuBuilder::BuildMenuBar(202, &window, {});
    QCOMPARE(bar->parentWidget(), &window);
    const QList<QAction*> popups = bar->actions();
    QCOMPARE(popups.size(), 3);
    // Access keys and shortcuts for the keyboard; the texts shown are otherwise the same.
    QCOMPARE(popups[0]->text(), QStringLiteral("&Preset"));
    QCOMPARE(Items(popups[0]->menu()),
             (QStringList{"&Open=32028 Ctrl+O", "&New=32027 Ctrl+N", "&Save=32021 Ctrl+S",
                          "Save &as...=32022 Ctrl+Shift+S", "-", "&1=32040", "&2=32041", "&3=32042",
                          "&4=32043", "-", "E&xit=32023 Ctrl+Q"}));
    QCOMPARE(popups[1]->text(), QStringLiteral("&Bank"));
    QCOMPARE(Items(popups[1]->menu()),
             (QStringList{"&Load a bank=32000 Ctrl+L", "&Unload selected bank=32003 Del",
                          "Unload &all banks=32006", "&Contents...=32030 Ctrl+I"}));
    QCOMPARE(popups[2]->text(), QStringLiteral("&?"));
    QCOMPARE(Items(popups[2]->menu()), (QStringList{"&Options=32024", "&About=32020"}));
}

void MenuBuilderTest::trayPopupIsOneFlatList()
{
    QWidget window;
    QScopedPointer<QMenu> menu(CMenuBuilder::BuildPopup(131, &window, {}));
    QCOMPARE(Items(menu.get()),
             (QStringList{"About=57664", "-", "Load a preset=32002", "Unload current preset=32005",
                          "KRV=32008", "-", "Exit=57665"}));
    QCOMPARE(CMenuBuilder::FindCommand(menu.get(), 32008), menu->actions().at(4));
}

void MenuBuilderTest::triggeringAnActionReportsItsCommand()
{
    QWidget window;
    QList<int> commands;
    QMenuBar* bar = CMenuBuilder::BuildMenuBar(202, &window, [&](int id) { commands << id; });
    QScopedPointer<QMenu> tray(
        CMenuBuilder::BuildPopup(131, &window, [&](int id) { commands << -id; }));

    QAction* unload = CMenuBuilder::FindCommand(bar, 32003);
    QVERIFY(unload);
    QCOMPARE(unload->text(), QStringLiteral("&Unload selected bank"));
    unload->trigger();
    CMenuBuilder::FindCommand(bar, 32020)->trigger();
    CMenuBuilder::FindCommand(tray.get(), 57665)->trigger();
    QCOMPARE(commands, (QList<int>{32003, 32020, -57665}));

    QCOMPARE(CMenuBuilder::FindCommand(bar, 57665), nullptr);
    QCOMPARE(CMenuBuilder::FindCommand(tray.get(), 0), nullptr);
}

void MenuBuilderTest::unknownMenusGiveEmptyMenus()
{
    QWidget window;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("menu template 999")));
    QVERIFY(CMenuBuilder::BuildMenuBar(999, &window, {})->actions().isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("menu template 998")));
    QScopedPointer<QMenu> popup(CMenuBuilder::BuildPopup(998, &window, {}));
    QVERIFY(popup->actions().isEmpty());
}
