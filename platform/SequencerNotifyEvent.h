// The sequencer's end-of-playback notification, posted to the window named in a play.
#pragma once

#include <QEvent>

// Why playing has finished.
namespace SequencerNotify {
constexpr unsigned Ended = 1;
constexpr unsigned Aborted = 2;
constexpr unsigned Failed = 3;
} // namespace SequencerNotify

class CSequencerNotifyEvent : public QEvent
{
public:
    CSequencerNotifyEvent(unsigned notifyCode, unsigned deviceId);

    // The event type, registered once per program.
    static QEvent::Type EventType();

    unsigned NotifyCode() const { return m_nNotifyCode; }
    unsigned DeviceId() const { return m_nDeviceId; }

private:
    unsigned m_nNotifyCode;
    unsigned m_nDeviceId;
};
