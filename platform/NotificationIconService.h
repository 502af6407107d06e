// Puts icons in the desktop's notification area and reports the mouse on them; replaceable
// so that tests can stand in for the desktop.
#pragma once

#include <QIcon>
#include <QString>

#include <functional>

class QMenu;
class QObject;

// The mouse messages a notification icon reports, with the numbers the platform gives them.
namespace TrayMouse {
constexpr unsigned MouseMove = 0x0200;
constexpr unsigned LeftButtonDown = 0x0201;
constexpr unsigned LeftButtonUp = 0x0202;
constexpr unsigned LeftDoubleClick = 0x0203;
constexpr unsigned RightButtonDown = 0x0204;
constexpr unsigned RightButtonUp = 0x0205;
constexpr unsigned MiddleButtonUp = 0x0208;
} // namespace TrayMouse

// One icon in the notification area: what it shows and where its mouse events go, as a
// CNotificationIconEvent with callbackMessage, the icon's id and the mouse message.
struct NotificationIcon
{
    int id = 0;
    QIcon icon;
    QString tip;
    QObject* receiver = nullptr;
    int callbackMessage = 0;
    // The icon's menu, for a notification area that draws icon menus itself rather than
    // reporting the right button (a StatusNotifierItem host); the caller keeps it.
    QMenu* menu = nullptr;
};

class CNotificationIconService
{
public:
    virtual ~CNotificationIconService();

    // Whether the desktop has a notification area to put icons in.
    virtual bool IsAvailable() const = 0;
    // Puts the icon in the notification area; false when there is none or an icon with
    // that id is there already.
    virtual bool Add(const NotificationIcon& icon) = 0;
    // Takes the icon with that id out; false when there is none.
    virtual bool Delete(int id) = 0;
    // From now on calls changed, through receiver's event loop, whenever a notification area
    // may have come to the desktop or gone from it; a null receiver ends the watch. One
    // receiver at a time.
    virtual void WatchArea(QObject* receiver, std::function<void()> changed) = 0;
    // Shows menu at the mouse pointer until an item is chosen or the menu is dismissed;
    // returns the chosen action's command id (its data), 0 when dismissed.
    virtual int TrackPopupMenu(QMenu& menu) = 0;

    // The service in use: the installed one, else the one on the desktop's system tray.
    static CNotificationIconService& Current();
    // Makes service the current one; nullptr restores the system tray one. The caller
    // keeps ownership.
    static void Install(CNotificationIconService* service);
};
