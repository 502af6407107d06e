#include "NotificationIconEvent.h"

CNotificationIconEvent::CNotificationIconEvent(int callbackMessage, int iconId,
                                               unsigned mouseMessage)
    : QEvent(EventType()), m_nCallbackMessage(callbackMessage), m_nIconId(iconId),
      m_nMouseMessage(mouseMessage)
{
}

QEvent::Type CNotificationIconEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
