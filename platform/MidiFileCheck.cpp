#include "MidiFileCheck.h"

#include "SequencerService.h"

#include <QtEndian>

#include <cstdint>

namespace {

constexpr qsizetype kIdLength = 4;
constexpr qsizetype kChunkHeaderLength = kIdLength + 4;
// Format, track count and division.
constexpr qsizetype kMinHeaderDataLength = 6;
constexpr qsizetype kTrackCountOffset = 2;

constexpr uint8_t kStatusBit = 0x80;
constexpr uint8_t kMetaEvent = 0xFF;
constexpr uint8_t kSysEx = 0xF0;
constexpr uint8_t kEndOfTrack = 0x2F;

// Meta events whose data has a fixed length; the sequencer's reader refuses a file where
// one has another.
struct MetaLength
{
    uint8_t type;
    uint32_t length;
};
constexpr MetaLength kMetaLengths[] = {
    {kEndOfTrack, 0},
    {0x51, 3} /* tempo */,
    {0x54, 5} /* SMPTE offset */,
    {0x58, 4} /* time signature */,
    {0x59, 2} /* key signature */,
};

bool MetaLengthFits(uint8_t type, uint32_t length)
{
    for (const MetaLength& meta : kMetaLengths) {
        if (meta.type == type)
            return meta.length == length;
    }
    return true;
}

// Program change and channel pressure carry one data byte, the other channel messages two.
int DataBytes(uint8_t status)
{
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads a track's events one after the other; every read fails at the track's end.
class TrackReader
{
public:
    explicit TrackReader(QByteArrayView track) : m_track(track) {}

    bool AtEnd() const { return m_nPos >= m_track.size(); }

    // One event; ended is set by the end-of-track meta event.
    bool Event(bool& ended)
    {
        uint32_t delta = 0;
        uint8_t status = 0;
        if (!Number(delta) || !Byte(status))
            return false;
        if (status < kStatusBit) {
            // Running status: the byte is the first data byte of a repeated channel message.
            if (m_nRunningStatus == 0)
                return false;
            --m_nPos;
            status = m_nRunningStatus;
        }
        if (status == kMetaEvent)
            return MetaEvent(ended);
        uint32_t length = 0;
        if (status == kSysEx)
            return Number(length) && Skip(length);
        // Undefined status bytes, and the escapes (0xF7) that the sequencer's reader
        // cannot read either.
        if (status > kSysEx)
            return false;
        m_nRunningStatus = status;
        for (int i = 0; i < DataBytes(status); ++i) {
            uint8_t data = 0;
            if (!Byte(data) || data >= kStatusBit)
                return false;
        }
        return true;
    }

private:
    bool MetaEvent(bool& ended)
    {
        uint8_t type = 0;
        uint32_t length = 0;
        if (!Byte(type) || !Number(length) || !MetaLengthFits(type, length))
            return false;
        ended = type == kEndOfTrack;
        return Skip(length);
    }

    bool Byte(uint8_t& byte)
    {
        if (AtEnd())
            return false;
        byte = static_cast<uint8_t>(m_track[m_nPos++]);
        return true;
    }

    // A variable-length number: seven bits a byte, at most four bytes.
    bool Number(uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t byte = 0;
            if (!Byte(byte))
                return false;
            value = (value << 7) | (byte & 0x7F);
            if ((byte & kStatusBit) == 0)
                return true;
        }
        return false;
    }

    bool Skip(uint32_t count)
    {
        if (count > static_cast<uint64_t>(m_track.size() - m_nPos))
            return false;
        m_nPos += count;
        return true;
    }

    QByteArrayView m_track;
    qsizetype m_nPos = 0;
    uint8_t m_nRunningStatus = 0;
};

} // namespace

unsigned CMidiFileCheck::Check(QByteArrayView bytes)
{
    if (!bytes.startsWith("MThd"))
        return SequencerError::InvalidFile;
    CMidiFileCheck file(bytes);
    int trackCount = 0;
    if (!file.ReadHeader(trackCount))
        return SequencerError::DamagedFile;
    // Chunks of other kinds may stand among the tracks; they are skipped.
    while (trackCount > 0) {
        QByteArrayView id;
        QByteArrayView data;
        if (!file.ReadChunk(id, data))
            return SequencerError::DamagedFile;
        if (id != "MTrk")
            continue;
        if (!ReadTrack(data))
            return SequencerError::DamagedFile;
        --trackCount;
    }
    return SequencerError::None;
}

bool CMidiFileCheck::ReadHeader(int& trackCount)
{
    QByteArrayView id;
    QByteArrayView data;
    if (!ReadChunk(id, data) || data.size() < kMinHeaderDataLength)
        return false;
    trackCount = qFromBigEndian<quint16>(data.data() + kTrackCountOffset);
    return true;
}

bool CMidiFileCheck::ReadChunk(QByteArrayView& id, QByteArrayView& data)
{
    if (m_bytes.size() - m_nPos < kChunkHeaderLength)
        return false;
    id = m_bytes.sliced(m_nPos, kIdLength);
    const quint32 length = qFromBigEndian<quint32>(m_bytes.data() + m_nPos + kIdLength);
    m_nPos += kChunkHeaderLength;
    if (length > static_cast<quint64>(m_bytes.size() - m_nPos))
        return false;
    data = m_bytes.sliced(m_nPos, length);
    m_nPos += length;
    return true;
}

bool CMidiFileCheck::ReadTrack(QByteArrayView track)
{
    TrackReader reader(track);
    bool ended = false;
    while (!ended && !reader.AtEnd()) {
        if (!reader.Event(ended))
            return false;
    }
    return true;
}
