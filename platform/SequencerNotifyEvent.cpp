#include "SequencerNotifyEvent.h"

CSequencerNotifyEvent::CSequencerNotifyEvent(unsigned notifyCode, unsigned deviceId)
    : QEvent(EventType()), m_nNotifyCode(notifyCode), m_nDeviceId(deviceId)
{
}

QEvent::Type CSequencerNotifyEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
