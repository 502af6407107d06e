// Reads a bank file's own name and its instrument and drum-kit lists, for the MIDI
// mapping report; the samples and everything else in the file are skipped.
#pragma once

#include "BankProgramEntry.h"

#include <QString>

#include <vector>

class QIODevice;

class CBankFileInfo
{
public:
    // Replaces the contents with those of the bank file at path; false (and empty
    // contents) when it is not a file that can be opened.
    //
    // A file that ends early is read as far as it goes: the name is the name bytes it
    // holds, and a list cut short keeps its whole records before the end of the file.
    //
    // A SoundFont file is read with FluidSynth: its presets in bank 128 are the drum kits
    // (variation 0), all others instruments with the bank as variation, each with its name;
    // the bank's name is the file's INAM, or else its file name. False when FluidSynth
    // cannot be loaded or refuses the file.
    bool Read(const QString& path);
    // The same from a device open for reading, positioned at the file's start.
    void Read(QIODevice& device);
    void Reset();

    // The name as text: the 8 name bytes up to the first NUL byte, in Windows-1252.
    QString GetName() const { return m_strName; }
    int GetInstrumentCount() const { return static_cast<int>(m_instruments.size()); }
    int GetDrumKitCount() const { return static_cast<int>(m_drumKits.size()); }
    // The record at that position; an empty record outside the list.
    BankProgramEntry GetInstrument(int index) const { return At(m_instruments, index); }
    BankProgramEntry GetDrumKit(int index) const { return At(m_drumKits, index); }

private:
    static BankProgramEntry At(const std::vector<BankProgramEntry>& list, int index);
    static bool ReadList(QIODevice& device, std::vector<BankProgramEntry>& list);
    bool ReadSoundFont(const QString& path, const QString& name);

    QString m_strName;
    std::vector<BankProgramEntry> m_instruments;
    std::vector<BankProgramEntry> m_drumKits;
};
