// The sequencer's end-of-playback notification, posted to the window named in a play, and
// its notification that SoundFonts have been loaded.
#pragma once

#include <QEvent>

// Why playing has finished, or that SoundFonts have loaded.
namespace SequencerNotify {
constexpr unsigned Ended = 1;
constexpr unsigned Aborted = 2;
constexpr unsigned Failed = 3;
// Not about a play (the device id is 0): the SoundFonts asked for have been loaded, or have
// failed to load.
constexpr unsigned SoundFontsLoaded = 4;
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
