// Tells when a notification area comes to the X display or leaves it, from the display's
// own events, so that nothing wakes the program in between. An area owns the selection
// _NET_SYSTEM_TRAY_S<screen>: a new one announces itself with a MANAGER message to the root
// window, and one that leaves destroys the window that owned the selection.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

struct xcb_connection_t;

class CNotificationAreaWatch : public QAbstractNativeEventFilter
{
public:
    // Calls changed through receiver's event loop, so that Qt has seen the event too. Null
    // where the program does not run on an X display.
    static std::unique_ptr<CNotificationAreaWatch> Create(QObject* receiver,
                                                          std::function<void()> changed);
    ~CNotificationAreaWatch() override;
    CNotificationAreaWatch(const CNotificationAreaWatch&) = delete;
    CNotificationAreaWatch& operator=(const CNotificationAreaWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    CNotificationAreaWatch(xcb_connection_t* connection, uint32_t manager, uint32_t selection,
                           QObject* receiver, std::function<void()> changed);
    // Asks the display to report the destruction of the selection's owner.
    void FollowOwner();
    void Notify();

    xcb_connection_t* m_connection;
    uint32_t m_manager;
    uint32_t m_selection;
    uint32_t m_owner = 0;
    QPointer<QObject> m_receiver;
    std::function<void()> m_changed;
};
