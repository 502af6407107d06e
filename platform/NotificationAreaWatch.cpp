#include "NotificationAreaWatch.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>

#include <cstdlib>
#include <xcb/xcb.h>

namespace {

const QString kStatusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// The high bit of an event's type marks one that a client sent.
constexpr uint8_t kEventTypeMask = 0x7f;

uint32_t InternAtom(xcb_connection_t* connection, const QByteArray& name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const uint32_t atom = reply ? reply->atom : uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// The screen the program's display names, as the X library reads $DISPLAY.
int DisplayScreen()
{
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    const bool parsed = xcb_parse_display(nullptr, &host, &display, &screen) != 0;
    std::free(host);
    return parsed ? screen : 0;
}

} // namespace

CNotificationAreaWatch::CNotificationAreaWatch(QObject* receiver, std::function<void()> changed)
    : m_receiver(receiver), m_changed(std::move(changed))
{
    WatchSelection();
    WatchBus();
}

CNotificationAreaWatch::~CNotificationAreaWatch()
{
    if (m_connection && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

// The MANAGER message reaches every client that listens to the root window's structure,
// as Qt's own connection does for its tray icons.
void CNotificationAreaWatch::WatchSelection()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    m_manager = InternAtom(connection, QByteArrayLiteral("MANAGER"));
    m_selection = InternAtom(connection, QByteArrayLiteral("_NET_SYSTEM_TRAY_S") +
                                             QByteArray::number(DisplayScreen()));
    if (m_manager == XCB_ATOM_NONE || m_selection == XCB_ATOM_NONE)
        return;
    m_connection = connection;
    FollowOwner();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void CNotificationAreaWatch::WatchBus()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_busWatch = std::make_unique<QDBusServiceWatcher>(
        kStatusNotifierWatcher, bus,
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(m_busWatch.get(), &QDBusServiceWatcher::serviceRegistered, m_busWatch.get(),
                     [this] { Notify(); });
    QObject::connect(m_busWatch.get(), &QDBusServiceWatcher::serviceUnregistered, m_busWatch.get(),
                     [this] { Notify(); });
}

bool CNotificationAreaWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & kEventTypeMask) {
    case XCB_CLIENT_MESSAGE: {
        const auto* announce = static_cast<const xcb_client_message_event_t*>(message);
        if (announce->type == m_manager && announce->data.data32[1] == m_selection) {
            FollowOwner();
            Notify();
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (static_cast<const xcb_destroy_notify_event_t*>(message)->window == m_owner) {
            m_owner = XCB_WINDOW_NONE;
            Notify();
        }
        break;
    default:
        break;
    }
    return false;
}

void CNotificationAreaWatch::FollowOwner()
{
    const xcb_get_selection_owner_cookie_t cookie =
        xcb_get_selection_owner(m_connection, m_selection);
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(m_connection, cookie, nullptr);
    m_owner = reply ? reply->owner : uint32_t{XCB_WINDOW_NONE};
    std::free(reply);
    if (m_owner == XCB_WINDOW_NONE)
        return;
    const uint32_t structure = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_owner, XCB_CW_EVENT_MASK, &structure);
    xcb_flush(m_connection);
}

void CNotificationAreaWatch::Notify()
{
    if (m_receiver)
        QMetaObject::invokeMethod(m_receiver, m_changed, Qt::QueuedConnection);
}
