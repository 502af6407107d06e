#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One item of a pop-up menu: a command or a separator. The text marks its access key with
// "&"; the shortcut, in the portable form "Ctrl+Shift+S", may be empty.
struct MenuItemTemplate
{
    QString text;
    int commandId = 0;
    QString shortcut;
    bool separator = false;
};

// A pop-up menu with its title and items.
struct MenuPopupTemplate
{
    QString text;
    QList<MenuItemTemplate> items;
};

// A menu resource: its pop-ups in order. Loaded from the resource text/menu<id>.json.
struct MenuTemplate
{
    int id = 0;
    QList<MenuPopupTemplate> popups;

    // The menu with that id; an invalid one (with a warning logged) when there is none or
    // it is malformed.
    static MenuTemplate Load(int id);
    // Parses the JSON form; on failure returns an invalid menu and describes why.
    static MenuTemplate FromJson(const QByteArray& json, QString& error);

    bool IsValid() const;
};
