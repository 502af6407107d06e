// The program's icon in the desktop's notification area: a right click opens the tray
// menu, a double click runs the menu's default command, both for the main window. A
// notification area that draws icon menus itself gets the same menu to show.
#pragma once

#include "NotificationIconService.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QMenu;

class CSystemTray : public QObject
{
    Q_OBJECT

public:
    using CommandHandler = std::function<void(int commandId)>;

    // Commands chosen on the icon go to handler.
    explicit CSystemTray(CommandHandler handler);
    ~CSystemTray() override;

    // Puts the icon in the notification area; the menu resource with the icon's id is its
    // pop-up. False when the desktop has no notification area or the icon could not be
    // added. From then on, while the icon is not hidden, the object watches the desktop: a
    // notification area that comes later gets the icon, one that goes away takes it along,
    // and NotificationAreaChanged tells of both.
    bool Create(int callbackMessage, const QString& tip, const QIcon& icon, int id);
    // The menu's default item, a position in the menu or a command id. False when the menu
    // cannot be loaded or has no such item.
    bool SetDefaultMenuItem(unsigned item, bool byPosition);
    // Takes the icon out of the notification area, keeping what is needed to put it back.
    void HideTrayIcon();
    // Puts a hidden icon back, in a notification area that has come since too; the watch
    // resumes.
    void ShowTrayIcon();
    // Takes the icon out for good and stops watching the desktop.
    void RemoveTrayIcon();
    // Looks whether a notification area has come or gone; the object does so by itself
    // whenever the desktop says one came or went.
    void CheckNotificationArea();

    // A mouse message (a TrayMouse value) on the icon with that id: 0 when it is not this
    // icon or its menu cannot be loaded, else 1.
    virtual int OnTrayNotify(int iconId, unsigned mouseMessage);

    // Whether the icon is usable: created, and the desktop has a notification area.
    bool IsEnabled() const { return m_bEnabled; }
    bool IsHidden() const { return m_bHidden; }

signals:
    // The notification area came (enabled) or went; the icon has followed.
    void NotificationAreaChanged(bool enabled);

protected:
    void customEvent(QEvent* event) override;

private:
    std::unique_ptr<QMenu> LoadMenu() const;
    QAction* DefaultAction(QMenu& menu) const;
    int OnRightButtonUp();
    int OnLeftDoubleClick();
    // Watches for a notification area only while the icon wants one.
    void UpdateAreaWatch();

    CommandHandler m_handler;
    // The menu handed to a notification area that shows it by itself.
    std::unique_ptr<QMenu> m_areaMenu;
    bool m_bCreated = false;
    bool m_bEnabled = false;
    bool m_bHidden = false;
    NotificationIcon m_record;
    unsigned m_nDefaultItem = 0;
    bool m_bDefaultByPosition = true;
    bool m_bWatching = false;
};
