// One record of a bank file's instrument or drum-kit list, as the report numbers it.
#pragma once

#include <cstdint>

struct BankProgramEntry
{
    uint16_t program = 0;  // the MIDI program, counted from 0
    uint8_t variation = 0; // the variation (bank) number the card offers it under

    bool operator==(const BankProgramEntry&) const = default;
};
