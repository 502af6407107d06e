// Checks that a standard MIDI file can be read whole before it is handed to the sequencer,
// whose own reader stops at the first damaged track and plays the tracks before it, or
// nothing, without a word.
#pragma once

#include <QByteArrayView>

class CMidiFileCheck
{
public:
    // SequencerError::None for a file whose every track reads to its end; InvalidFile when
    // the bytes do not start with a MIDI header chunk; DamagedFile when a track is cut
    // short, a chunk runs past the end of the file, or a track holds an event that is not
    // a MIDI file's (an undefined status byte, a data byte where a status byte must be, a
    // meta event of the wrong length).
    static unsigned Check(QByteArrayView bytes);

private:
    explicit CMidiFileCheck(QByteArrayView bytes) : m_bytes(bytes) {}

    bool ReadHeader(int& trackCount);
    bool ReadChunk(QByteArrayView& id, QByteArrayView& data);
    static bool ReadTrack(QByteArrayView track);

    QByteArrayView m_bytes;
    qsizetype m_nPos = 0;
};
