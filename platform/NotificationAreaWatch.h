// Tells when a notification area comes to the desktop or leaves it, from the desktop's own
// events, so that nothing wakes the program in between.
// - On an X display an area owns the selection _NET_SYSTEM_TRAY_S<screen>: a new one
//   announces itself with a MANAGER message to the root window, and one that leaves
//   destroys the window that owned the selection.
// - Desktops that speak StatusNotifierItem (GNOME, KDE) have a watcher service on the
//   session bus instead, whose registration and unregistration the bus announces.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
struct xcb_connection_t;

class CNotificationAreaWatch : public QAbstractNativeEventFilter
{
public:
    // Calls changed through receiver's event loop, so that Qt has seen the event too.
    CNotificationAreaWatch(QObject* receiver, std::function<void()> changed);
    ~CNotificationAreaWatch() override;
    CNotificationAreaWatch(const CNotificationAreaWatch&) = delete;
    CNotificationAreaWatch& operator=(const CNotificationAreaWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // Nothing where the program does not run on an X display.
    void WatchSelection();
    // Nothing without a session bus.
    void WatchBus();
    // Asks the display to report the destruction of the selection's owner.
    void FollowOwner();
    void Notify();

    QPointer<QObject> m_receiver;
    std::function<void()> m_changed;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_manager = 0;
    uint32_t m_selection = 0;
    uint32_t m_owner = 0;
    std::unique_ptr<QDBusServiceWatcher> m_busWatch;
};
