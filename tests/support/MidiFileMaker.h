#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <utility>
#include <vector>

// Makes standard MIDI files for tests: one track of notes, programs, pedal and tempo
// changes, and the time at which the file puts each tick.
class CMidiFileMaker
{
public:
    static constexpr int kDivision = 480; // ticks per quarter note

    // From tick on, a quarter note lasts microseconds (500000 until the first change).
    void Tempo(int tick, int microseconds);
    void Note(int tick, int duration, int key, int velocity = 100);
    // A note that the file never switches off.
    void NoteOn(int tick, int key, int velocity = 100);
    void Program(int tick, int program);
    void SustainPedal(int tick, bool down);
    // Bytes put into the track as they stand, for damaged files.
    void Raw(int tick, const QByteArray& bytes);

    QByteArray Bytes() const;
    // Files whose tracks cannot be read whole, each named after its damage: cut in the
    // middle of its track, an undefined status byte in its track, a track length past the
    // end of the file.
    static std::vector<std::pair<QString, QByteArray>> DamagedFiles();
    bool Write(const QString& path) const;

    // The tick of the file's last event, where its track ends.
    int LastTick() const;
    // Seconds from the file's beginning to tick.
    double Seconds(int tick) const;

private:
    void Add(int tick, QByteArray event);

    std::multimap<int, QByteArray> m_events;
    std::map<int, int> m_tempos{{0, 500000}};
};
