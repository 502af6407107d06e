// One record of a bank file's instrument or drum-kit list, as the report numbers it.
#pragma once

#include <QString>

#include <cstdint>

struct BankProgramEntry
{
    uint16_t program = 0;   // the MIDI program, counted from 0
    uint16_t variation = 0; // the variation (bank) number the card offers it under
    QString name;           // the preset's name in a SoundFont; a bank file names none

    bool operator==(const BankProgramEntry&) const = default;
};
