// A mouse event on a notification icon, posted to the icon's receiver.
#pragma once

#include <QEvent>

class CNotificationIconEvent : public QEvent
{
public:
    CNotificationIconEvent(int callbackMessage, int iconId, unsigned mouseMessage);

    // The event type, registered once per program.
    static QEvent::Type EventType();

    // The message id given with the icon, the icon's id and a TrayMouse value.
    int CallbackMessage() const { return m_nCallbackMessage; }
    int IconId() const { return m_nIconId; }
    unsigned MouseMessage() const { return m_nMouseMessage; }

private:
    int m_nCallbackMessage;
    int m_nIconId;
    unsigned m_nMouseMessage;
};
