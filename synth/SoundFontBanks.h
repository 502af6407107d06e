// The banks in the card that are SoundFont files, which the MIDI player plays with and the
// report reads with FluidSynth.
#pragma once

#include "SynthStatus.h"

#include <QString>
#include <QStringList>

#include <vector>

class CBankTable;

class CSoundFontBanks
{
public:
    // Whether the file at path is a SoundFont: a regular file that is a RIFF "sfbk" form.
    static bool IsSoundFont(const QString& path);
    // The paths of the SoundFont banks of the table's last status, the highest priority
    // first; of two banks with the same priority the one with the lower ID comes first.
    static QStringList HighestFirst(const CBankTable& bankTable);
    // Every bank of the status in the order a synthesizer looks a program up in them: the
    // highest priority first, and of two with the same priority the one with the lower ID.
    static std::vector<SynthBankEntry> SearchOrder(const SynthStatus& status);
};
