#include "NotificationIconSystemTray.h"

#include "NotificationIconEvent.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QMenu>

bool CNotificationIconSystemTray::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CNotificationIconSystemTray::Add(const NotificationIcon& icon)
{
    if (!IsAvailable() || m_icons.count(icon.id) != 0)
        return false;
    auto trayIcon = std::make_unique<QSystemTrayIcon>(icon.icon);
    trayIcon->setToolTip(icon.tip);
    // An X notification area reports the right button and the program opens the menu; a
    // StatusNotifierItem host draws the menu that Qt exports for it over D-Bus.
    if (icon.menu && IsStatusNotifierHost())
        trayIcon->setContextMenu(icon.menu);
    const int id = icon.id;
    QObject::connect(trayIcon.get(), &QSystemTrayIcon::activated, trayIcon.get(),
                     [this, id](QSystemTrayIcon::ActivationReason reason) { Notify(id, reason); });
    trayIcon->show();
    m_icons[id] = Shown{std::move(trayIcon), icon.receiver, icon.callbackMessage};
    return true;
}

bool CNotificationIconSystemTray::Delete(int id)
{
    const auto found = m_icons.find(id);
    if (found == m_icons.end())
        return false;
    found->second.trayIcon->hide();
    m_icons.erase(found);
    return true;
}

void CNotificationIconSystemTray::WatchArea(QObject* receiver, std::function<void()> changed)
{
    m_areaWatch.reset();
    if (receiver)
        m_areaWatch = std::make_unique<CNotificationAreaWatch>(receiver, std::move(changed));
}

int CNotificationIconSystemTray::TrackPopupMenu(QMenu& menu)
{
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

// The desktop decides which button press or release counts as the request for the menu;
// whichever it is arrives as the right button's release.
unsigned CNotificationIconSystemTray::MouseMessage(QSystemTrayIcon::ActivationReason reason,
                                                   bool areaSendsDoubleClicks)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        return TrayMouse::RightButtonUp;
    case QSystemTrayIcon::DoubleClick:
        return TrayMouse::LeftDoubleClick;
    case QSystemTrayIcon::Trigger:
        return areaSendsDoubleClicks ? TrayMouse::LeftButtonUp : TrayMouse::LeftDoubleClick;
    case QSystemTrayIcon::MiddleClick:
        return TrayMouse::MiddleButtonUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayMouse::MouseMove;
}

// Posted, not sent: the receiver reacts once the tray icon's own event has finished, so it
// may even take the icon away.
void CNotificationIconSystemTray::Notify(int id, QSystemTrayIcon::ActivationReason reason) const
{
    const auto found = m_icons.find(id);
    if (found == m_icons.end() || !found->second.receiver)
        return;
    const Shown& shown = found->second;
    QCoreApplication::postEvent(
        shown.receiver, new CNotificationIconEvent(shown.callbackMessage, id,
                                                   MouseMessage(reason, !IsStatusNotifierHost())));
}

// A StatusNotifierItem host activates an icon with a single click (Activate) and never sends
// a double click. Qt chooses between such a host and an X notification area once, when the
// program first asks for one, by the same question to the host's watcher; the answer is kept
// as Qt keeps its choice.
bool CNotificationIconSystemTray::IsStatusNotifierHost()
{
    static const bool host = [] {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return false;
        QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                               QStringLiteral("/StatusNotifierWatcher"),
                               QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
        return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
    }();
    return host;
}
