// One record of a bank file's instrument or drum-kit list, as the report numbers it.
#pragma once

#include <QString>

#include <cstdint>

struct BankProgramEntry
{
    uint16_t program = 0;   // the MIDI program, counted from 0
    uint16_t variation = 0; // the variation (bank) number the card offers it under
    QString name;           // the preset's name in a SoundFont; a bank file names none

    // The numbers the Cubase sequencer selects it by: programs from 1, banks in steps of 128.
    int CubaseProgram() const { return program + 1; }
    int CubaseBank() const { return variation * 128; }

    bool operator==(const BankProgramEntry&) const = default;
};
