// One record of a bank file's instrument or drum-kit list.
#pragma once

#include <cstdint>

struct BankProgram
{
    uint16_t program = 0;  // MIDI program, counted from 0; 0xFFFF is reserved as the end mark
    uint8_t variation = 0; // the variation (bank) number the card offers it under

    bool operator==(const BankProgram&) const = default;
};
