#include "MidiFileMaker.h"

#include <QFile>

namespace {

void AppendBigEndian(QByteArray& bytes, quint32 value, int size)
{
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xFF));
}

// A delta time: seven bits a byte, most significant first, every byte but the last with its
// top bit set.
void AppendVariableLength(QByteArray& bytes, quint32 value)
{
    QByteArray groups(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        groups.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    bytes.append(groups);
}

QByteArray Event(std::initializer_list<int> bytes)
{
    QByteArray event;
    for (int byte : bytes)
        event.append(static_cast<char>(byte));
    return event;
}

} // namespace

void CMidiFileMaker::Tempo(int tick, int microseconds)
{
    m_tempos[tick] = microseconds;
    Add(tick, Event({0xFF, 0x51, 0x03, (microseconds >> 16) & 0xFF, (microseconds >> 8) & 0xFF,
                     microseconds & 0xFF}));
}

void CMidiFileMaker::Note(int tick, int duration, int key, int velocity)
{
    NoteOn(tick, key, velocity);
    Add(tick + duration, Event({0x80, key, 0}));
}

void CMidiFileMaker::NoteOn(int tick, int key, int velocity)
{
    Add(tick, Event({0x90, key, velocity}));
}

void CMidiFileMaker::Program(int tick, int program)
{
    Add(tick, Event({0xC0, program}));
}

void CMidiFileMaker::SustainPedal(int tick, bool down)
{
    Add(tick, Event({0xB0, 64, down ? 127 : 0}));
}

void CMidiFileMaker::Raw(int tick, const QByteArray& bytes)
{
    Add(tick, bytes);
}

std::vector<std::pair<QString, QByteArray>> CMidiFileMaker::DamagedFiles()
{
    CMidiFileMaker tune;
    tune.Note(0, 480, 60);
    tune.Note(480, 480, 64);
    const QByteArray whole = tune.Bytes();
    // The track's length field follows the 14-byte header chunk and the track's id.
    constexpr int kTrackLengthOffset = 18;
    QByteArray longTrack = whole;
    longTrack[kTrackLengthOffset + 3] = static_cast<char>(whole[kTrackLengthOffset + 3] + 100);
    tune.Raw(240, Event({0xF4}));
    return {{QStringLiteral("cut.mid"), whole.chopped(7)},
            {QStringLiteral("undefined-status.mid"), tune.Bytes()},
            {QStringLiteral("track-past-end.mid"), longTrack}};
}

void CMidiFileMaker::Add(int tick, QByteArray event)
{
    m_events.emplace(tick, std::move(event));
}

int CMidiFileMaker::LastTick() const
{
    return m_events.empty() ? 0 : m_events.rbegin()->first;
}

QByteArray CMidiFileMaker::Bytes() const
{
    QByteArray track;
    int previous = 0;
    for (const auto& [tick, event] : m_events) {
        AppendVariableLength(track, static_cast<quint32>(tick - previous));
        track.append(event);
        previous = tick;
    }
    track.append(Event({0x00, 0xFF, 0x2F, 0x00}));

    QByteArray file("MThd");
    AppendBigEndian(file, 6, 4);
    AppendBigEndian(file, 0, 2); // one track
    AppendBigEndian(file, 1, 2);
    AppendBigEndian(file, kDivision, 2);
    file.append("MTrk");
    AppendBigEndian(file, static_cast<quint32>(track.size()), 4);
    file.append(track);
    return file;
}

bool CMidiFileMaker::Write(const QString& path) const
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(Bytes()) == Bytes().size();
}

double CMidiFileMaker::Seconds(int tick) const
{
    double seconds = 0;
    for (auto change = m_tempos.begin(); change != m_tempos.end() && change->first < tick;
         ++change) {
        const auto next = std::next(change);
        const int end = next == m_tempos.end() ? tick : std::min(tick, next->first);
        seconds += (end - change->first) * change->second / 1e6 / kDivision;
    }
    return seconds;
}
