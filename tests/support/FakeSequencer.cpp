#include "FakeSequencer.h"

#include "SequencerNotifyEvent.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

unsigned CFakeSequencer::Open(const QString& path, unsigned& deviceId)
{
    const QString call = QStringLiteral("open ") + path;
    if (!QFileInfo(path).isFile())
        return Record(call, SequencerError::FileNotFound);
    deviceId = m_nNextId++;
    m_devices[deviceId].path = path;
    return Record(call, SequencerError::None);
}

unsigned CFakeSequencer::Play(unsigned deviceId, QObject* window)
{
    const QString call = QStringLiteral("play %1").arg(deviceId);
    const auto found = m_devices.find(deviceId);
    if (found == m_devices.end())
        return Record(call, SequencerError::InvalidDevice);
    if (found->second.started)
        return Record(call, SequencerError::NotReady);
    if (const unsigned error = std::exchange(m_nPlayError, 0))
        return Record(call, error);
    found->second = {found->second.path, window, true, true};
    return Record(call, SequencerError::None);
}

unsigned CFakeSequencer::Stop(unsigned deviceId)
{
    const QString call = QStringLiteral("stop %1").arg(deviceId);
    const auto found = m_devices.find(deviceId);
    if (found == m_devices.end())
        return Record(call, SequencerError::InvalidDevice);
    Finish(deviceId, found->second, SequencerNotify::Aborted);
    return Record(call, SequencerError::None);
}

unsigned CFakeSequencer::Close(unsigned deviceId)
{
    const QString call = QStringLiteral("close %1").arg(deviceId);
    const auto found = m_devices.find(deviceId);
    if (found == m_devices.end())
        return Record(call, SequencerError::InvalidDevice);
    Finish(deviceId, found->second, SequencerNotify::Aborted);
    m_devices.erase(found);
    return Record(call, SequencerError::None);
}

bool CFakeSequencer::LoadSoundFonts(QObject* window)
{
    m_loadWindow = window;
    return !m_bHoldLoads;
}

void CFakeSequencer::FinishLoad()
{
    if (m_loadWindow) {
        QCoreApplication::postEvent(
            m_loadWindow, new CSequencerNotifyEvent(SequencerNotify::SoundFontsLoaded, 0));
    }
    m_loadWindow = nullptr;
}

void CFakeSequencer::EndOfFile(unsigned deviceId)
{
    const auto found = m_devices.find(deviceId);
    if (found != m_devices.end())
        Finish(deviceId, found->second, SequencerNotify::Ended);
}

void CFakeSequencer::FailPlay(unsigned deviceId)
{
    const auto found = m_devices.find(deviceId);
    if (found != m_devices.end())
        Finish(deviceId, found->second, SequencerNotify::Failed);
}

QString CFakeSequencer::PlayingFile() const
{
    for (const auto& [id, device] : m_devices) {
        if (device.playing)
            return device.path;
    }
    return {};
}

unsigned CFakeSequencer::Record(const QString& call, unsigned result)
{
    m_calls << call + QStringLiteral(" -> %1").arg(result);
    return result;
}

void CFakeSequencer::Finish(unsigned deviceId, Device& device, unsigned code)
{
    if (!device.playing)
        return;
    device.playing = false;
    if (device.window)
        QCoreApplication::postEvent(device.window, new CSequencerNotifyEvent(code, deviceId));
}
