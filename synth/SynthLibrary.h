// The four operations of the card's synthesizer library, as the bank table calls them,
// and what a card may offer besides, which a card without it answers with nothing.
#pragma once

#include "SynthStatus.h"

#include <QString>

#include <cstdint>
#include <vector>

class SynthLibrary
{
public:
    virtual ~SynthLibrary() = default;

    // The new bank's ID (0..16), or 16 + status code.
    virtual uint16_t SynthLoadBank(const char* path) = 0;
    virtual uint16_t SynthUnloadBank(uint16_t id) = 0;
    virtual uint16_t SynthSetPriority(uint16_t id, int32_t priority) = 0;
    virtual uint16_t SynthGetStatus(SynthStatus* status) = 0;

    // Whether the card could load the bank file at path as far as the file alone tells
    // (SYNTHERR_FILENOTFOUND, SYNTHERR_INVCOM), asked before anything is unloaded for it;
    // SYNTH_OK when the card does not tell.
    virtual uint16_t CheckBank(const char*) { return SYNTH_OK; }
    // The file the card itself knows a bank by (a server's font), or nothing.
    virtual QString BankPath(uint16_t) { return {}; }
    // The bank IDs in the order the card's synthesizer searches them for a program, the
    // first searched first; nothing when the card does not tell.
    virtual std::vector<uint16_t> SearchOrder() { return {}; }
};
